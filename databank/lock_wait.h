// The pause between two looks at a lock that another process holds: short
// at first, then longer and longer while the holder stays, up to about a
// second, so that a long wait costs few looks and log lines. The waiting
// is done in slices, each followed by the caller's handler, so that the
// run can end at any moment of it. A lock held for minutes is held by a
// process that is stopped, hung or hostile: the wait gives up then, and
// the write that waited fails as any other write that cannot be done.
#ifndef TROVANE_DATABANK_LOCK_WAIT_H_
#define TROVANE_DATABANK_LOCK_WAIT_H_

#include <chrono>
#include <functional>

#include "platform/clock.h"

namespace trovane {

class LockWait {
 public:
  LockWait(Clock& clock, const std::function<void()>& handler)
      : clock_(clock), handler_(handler) {}

  // False, without pausing, once the wait has lasted kLongest.
  bool Pause();

  static constexpr std::chrono::seconds kLongest{120};

 private:
  Clock& clock_;
  const std::function<void()>& handler_;
  std::chrono::milliseconds next_{25};
  std::chrono::milliseconds waited_{0};
};

}  // namespace trovane

#endif  // TROVANE_DATABANK_LOCK_WAIT_H_
