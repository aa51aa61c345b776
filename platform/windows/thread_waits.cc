#include "platform/thread_waits.h"

namespace trovane {

// The system keeps no count a thread can read of the times it waited.
std::optional<uint64_t> ThreadWaits() { return std::nullopt; }

}  // namespace trovane
