#include "poster/event_source.h"

#include <algorithm>

namespace sirel {

EventSource::Cookie EventSource::Connect(std::shared_ptr<PosterEvents> sink) {
  const Cookie cookie = next_cookie_++;
  if (next_cookie_ == 0) next_cookie_ = 1;
  connections_.push_back(std::make_shared<Connection>(Connection{cookie, std::move(sink), true}));
  return cookie;
}

bool EventSource::Disconnect(Cookie cookie) {
  const auto found =
      std::find_if(connections_.begin(), connections_.end(),
                   [cookie](const std::shared_ptr<Connection>& c) { return c->cookie == cookie; });
  if (found == connections_.end()) return false;
  (*found)->connected = false;
  connections_.erase(found);
  return true;
}

}  // namespace sirel
