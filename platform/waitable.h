// What a waiting loop is woken by, and the one wait over several of them.
// A loop that has nothing due sleeps here until something worth a look
// happens: the scan batch's signal appears, the batch ends, a quit signal
// arrives.
#ifndef TROVANE_PLATFORM_WAITABLE_H_
#define TROVANE_PLATFORM_WAITABLE_H_

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace trovane {

// Something that becomes ready when an event worth waking for happens: a
// descriptor that becomes readable on Linux, a handle that becomes
// signalled on Windows. Whoever hands one out owns it and takes in what
// made it ready; a waiter only waits.
class Waitable {
 public:
  Waitable() = default;
  explicit Waitable(intptr_t native) : native_(native) {}

  bool valid() const { return native_ != kNone; }
  // The descriptor or the handle, for the system's own calls and a
  // toolkit's notifiers.
  intptr_t native() const { return native_; }

 private:
  static constexpr intptr_t kNone = -1;
  intptr_t native_ = kNone;
};

// Waits until one of `waitables` is ready, or `timeout` has passed (for
// ever without one). The place in `waitables` of one that is ready; nothing
// after the timeout, or when a signal cut the wait short. Invalid ones are
// never ready.
std::optional<size_t> WaitForAny(
    std::span<const Waitable> waitables,
    std::optional<std::chrono::milliseconds> timeout);

}  // namespace trovane

#endif  // TROVANE_PLATFORM_WAITABLE_H_
