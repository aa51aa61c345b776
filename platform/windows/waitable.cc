#include "platform/waitable.h"

#include <windows.h>

#include <algorithm>
#include <vector>

namespace trovane {

std::optional<size_t> WaitForAny(
    std::span<const Waitable> waitables,
    std::optional<std::chrono::milliseconds> timeout) {
  // Only valid handles are waited on, each remembered with its place; an
  // invalid one must not reach the system, to which -1 is this process.
  std::vector<HANDLE> handles;
  std::vector<size_t> places;
  for (size_t i = 0; i < waitables.size(); ++i) {
    if (!waitables[i].valid() || handles.size() == MAXIMUM_WAIT_OBJECTS) {
      continue;
    }
    handles.push_back(reinterpret_cast<HANDLE>(waitables[i].native()));
    places.push_back(i);
  }
  const DWORD timeout_ms = timeout ? static_cast<DWORD>(std::clamp<int64_t>(
                                         timeout->count(), 0, INFINITE - 1))
                                   : INFINITE;
  if (handles.empty()) {
    Sleep(timeout_ms);
    return std::nullopt;
  }
  const DWORD count = static_cast<DWORD>(handles.size());
  const DWORD woken =
      WaitForMultipleObjects(count, handles.data(), FALSE, timeout_ms);
  if (woken >= WAIT_OBJECT_0 && woken < WAIT_OBJECT_0 + count) {
    return places[woken - WAIT_OBJECT_0];
  }
  if (woken >= WAIT_ABANDONED_0 && woken < WAIT_ABANDONED_0 + count) {
    return places[woken - WAIT_ABANDONED_0];
  }
  return std::nullopt;
}

}  // namespace trovane
