#include "poster/event_source.h"

#include <algorithm>

namespace sirel {

bool EventSource::InUse(Cookie cookie) const {
  return std::any_of(connections_.begin(), connections_.end(),
                     [cookie](const std::shared_ptr<Connection>& c) { return c->cookie == cookie; });
}

EventSource::Cookie EventSource::Connect(std::shared_ptr<PosterEvents> sink) {
  // After 2^32 connections the numbers come round again; one still connected is skipped.
  Cookie cookie = next_cookie_;
  while (cookie == 0 || InUse(cookie)) ++cookie;
  next_cookie_ = cookie + 1;
  connections_.push_back(std::make_shared<Connection>(Connection{cookie, std::move(sink), true}));
  return cookie;
}

bool EventSource::Disconnect(Cookie cookie) {
  const auto found =
      std::find_if(connections_.begin(), connections_.end(),
                   [cookie](const std::shared_ptr<Connection>& c) { return c->cookie == cookie; });
  if (found == connections_.end()) return false;
  // Moved out before the erase and let go after it: the sink's last release may run client
  // code (a proxy's release runs the apartment's messages) that raises or connects, and that
  // code must find the connections whole, not half moved.
  const std::shared_ptr<Connection> gone = std::move(*found);
  gone->connected = false;
  connections_.erase(found);
  return true;
}

EventSource::Connections EventSource::TakeAll() noexcept {
  Connections taken;
  taken.swap(connections_);
  for (const std::shared_ptr<Connection>& connection : taken) connection->connected = false;
  return taken;
}

}  // namespace sirel
