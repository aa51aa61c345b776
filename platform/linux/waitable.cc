#include "platform/waitable.h"

#include <poll.h>

#include <algorithm>
#include <climits>
#include <vector>

namespace trovane {

std::optional<size_t> WaitForAny(
    std::span<const Waitable> waitables,
    std::optional<std::chrono::milliseconds> timeout) {
  std::vector<pollfd> fds;
  fds.reserve(waitables.size());
  for (const Waitable& waitable : waitables) {
    // poll passes over a negative descriptor, so an invalid one is never
    // ready and keeps its place.
    fds.push_back({static_cast<int>(waitable.native()), POLLIN, 0});
  }
  const int timeout_ms =
      timeout
          ? static_cast<int>(std::clamp<int64_t>(timeout->count(), 0, INT_MAX))
          : -1;
  if (poll(fds.data(), fds.size(), timeout_ms) <= 0) return std::nullopt;
  for (size_t i = 0; i < fds.size(); ++i) {
    if (fds[i].revents != 0) return i;
  }
  return std::nullopt;
}

}  // namespace trovane
