// A poster's outlet for its events: the sinks connected to it, called in turn, synchronously.
// Handlers run re-entrantly: during a raise a sink may connect or disconnect sinks, or destroy
// the poster that owns this source. Each raise therefore works on a snapshot of the
// connections: a sink connected during a raise hears the next event, a sink disconnected during
// a raise is skipped if its turn has not come, and no other sink misses the event.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "poster/poster_events.h"

namespace sirel {

class EventSource {
 public:
  using Cookie = std::uint32_t;

  // Connects a sink; the returned cookie (never 0, never one that is connected) disconnects it.
  Cookie Connect(std::shared_ptr<PosterEvents> sink);
  // False when no sink is connected under that cookie.
  bool Disconnect(Cookie cookie);
  std::size_t SinkCount() const { return connections_.size(); }
  // Disconnects every sink and hands the connections to the caller, who decides where their
  // sinks are let go (a sink may be bound to its own thread). Allocates nothing.
  struct Connection {
    Cookie cookie;
    std::shared_ptr<PosterEvents> sink;
    bool connected;
  };
  using Connections = std::vector<std::shared_ptr<Connection>>;
  Connections TakeAll() noexcept;

  // Calls raise(sink) for every connected sink, in the order they were connected.
  template <class Raise>
  void RaiseToAll(Raise&& raise) const {
    if (connections_.empty()) return;
    if (connections_.size() == 1) {
      // The usual single client: a copy of its connection is the whole snapshot, and no
      // vector is allocated for it.
      const std::shared_ptr<Connection> only = connections_.front();
      if (only->connected) raise(*only->sink);
      return;
    }
    const std::vector<std::shared_ptr<Connection>> snapshot = connections_;
    for (const auto& connection : snapshot) {
      if (connection->connected) raise(*connection->sink);
    }
  }

 private:
  friend class EventSourceTestPeer;
  bool InUse(Cookie cookie) const;

  Connections connections_;
  Cookie next_cookie_ = 1;
};

}  // namespace sirel
