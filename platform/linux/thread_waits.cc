#include "platform/thread_waits.h"

#include <sys/resource.h>

namespace trovane {

std::optional<uint64_t> ThreadWaits() {
  // The voluntary context switches: the thread gave up the processor
  // because it could not go on, unlike a switch forced on it.
  rusage usage{};
  if (getrusage(RUSAGE_THREAD, &usage) != 0) return std::nullopt;
  return static_cast<uint64_t>(usage.ru_nvcsw);
}

}  // namespace trovane
