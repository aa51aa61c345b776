// When the window's timers are due, for front ends that run their own event
// loop rather than a toolkit's.
#ifndef TROVANE_SHELL_TIMER_SCHEDULE_H_
#define TROVANE_SHELL_TIMER_SCHEDULE_H_

#include <chrono>
#include <optional>
#include <vector>

#include "shell/controls.h"

namespace trovane {

class TimerSchedule {
 public:
  using Clock = std::chrono::steady_clock;

  // Watches `timer` from now on: enabling it makes it due one interval
  // later.
  void Watch(Timer& timer);

  // Ticks every enabled timer that is due at `now`.
  void TickDue(Clock::time_point now);

  // When the next enabled timer is due; nothing when none is enabled.
  std::optional<Clock::time_point> NextDue() const;

  // The wakers of the timers that may tick, each with the timer's place
  // among those watched.
  struct Waker {
    Waitable waitable;
    size_t timer;
  };
  std::vector<Waker> Wakers() const;
  // Makes the timer at that place due now: one of its wakers is ready.
  void Wake(size_t timer) { entries_[timer].due = Clock::now(); }

 private:
  struct Entry {
    Timer* timer;
    Clock::time_point due;
  };
  std::vector<Entry> entries_;
};

}  // namespace trovane

#endif  // TROVANE_SHELL_TIMER_SCHEDULE_H_
