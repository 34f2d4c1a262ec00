#pragma once

#include "core/OwnedList.h"

namespace torvane {

// Pairs the plug-in's channels with the buffer array a host passes to one
// processing call: each connected channel in order takes the next host buffer,
// and a channel that is not connected takes none. A missing array or a null
// entry pairs the channel with null. A value used by the processing entry
// under the plug-in lock.
template <typename Sample>
class HostBufferBinding {
 public:
  explicit HostBufferBinding(Sample* const* hostBuffers) noexcept : hostBuffers_(hostBuffers) {}

  // Calls visit(channel, hostBuffer or null) for every connected channel in order.
  template <typename Channel, typename Visit>
  void ForEachConnected(const OwnedList<Channel>& channels, Visit visit) const noexcept {
    int next = 0;
    for (int i = 0; i < channels.Count(); ++i) {
      Channel* channel = channels.Get(i);
      if (!channel->connected) continue;
      visit(*channel, hostBuffers_ ? hostBuffers_[next] : nullptr);
      ++next;
    }
  }

  // True when every channel is connected and has a host buffer of its own.
  template <typename Channel>
  bool CoversEveryChannel(const OwnedList<Channel>& channels) const noexcept {
    bool covered = true;
    int connected = 0;
    ForEachConnected(channels, [&](Channel&, Sample* buffer) {
      covered = covered && buffer;
      ++connected;
    });
    return covered && connected == channels.Count();
  }

 private:
  Sample* const* hostBuffers_;
};

}  // namespace torvane
