// The pause between two looks at a lock that another process holds: short
// at first, then longer and longer while the holder stays, up to about a
// second, so that an hour's wait costs thousands of looks and log lines,
// not hundreds of thousands. The waiting is done in slices, each followed
// by the caller's handler, so that the run can end at any moment of it.
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

  void Pause();

 private:
  Clock& clock_;
  const std::function<void()>& handler_;
  std::chrono::milliseconds next_{25};
};

}  // namespace trovane

#endif  // TROVANE_DATABANK_LOCK_WAIT_H_
