#include "shell/timer_schedule.h"

namespace trovane {

void TimerSchedule::Watch(Timer& timer) {
  const size_t index = entries_.size();
  entries_.push_back({&timer, Clock::now() + timer.interval()});
  timer.SetObserver([this, index](bool enabled) {
    if (enabled) {
      entries_[index].due = Clock::now() + entries_[index].timer->interval();
    }
  });
}

void TimerSchedule::TickDue(Clock::time_point now) {
  // By index: a tick may run a whole pass, which may come back here.
  for (size_t i = 0; i < entries_.size(); ++i) {
    Timer& timer = *entries_[i].timer;
    if (!timer.enabled() || timer.ticking() || now < entries_[i].due) continue;
    entries_[i].due = now + timer.interval();
    timer.Tick();
  }
}

std::vector<TimerSchedule::Waker> TimerSchedule::Wakers() const {
  std::vector<Waker> wakers;
  for (size_t i = 0; i < entries_.size(); ++i) {
    const Timer& timer = *entries_[i].timer;
    if (!timer.enabled() || timer.ticking()) continue;
    for (const Waitable& waitable : timer.wakers()) {
      wakers.push_back({waitable, i});
    }
  }
  return wakers;
}

std::optional<TimerSchedule::Clock::time_point> TimerSchedule::NextDue() const {
  std::optional<Clock::time_point> next;
  for (const Entry& entry : entries_) {
    if (!entry.timer->enabled() || entry.timer->ticking()) continue;
    if (!next || entry.due < *next) next = entry.due;
  }
  return next;
}

}  // namespace trovane
