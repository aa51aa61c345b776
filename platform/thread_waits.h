// How often the calling thread has had to wait for the system: for the
// disk to deliver, for a lock to come free. A thread that computes without
// pause counts none, however long it runs and however often it is made to
// take turns with others for the processor.
#ifndef TROVANE_PLATFORM_THREAD_WAITS_H_
#define TROVANE_PLATFORM_THREAD_WAITS_H_

#include <cstdint>
#include <optional>

namespace trovane {

// The waits of the calling thread so far; nothing where the system does not
// count them.
std::optional<uint64_t> ThreadWaits();

}  // namespace trovane

#endif  // TROVANE_PLATFORM_THREAD_WAITS_H_
