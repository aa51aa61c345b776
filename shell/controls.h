// The controls of the main window as plain state. The front ends draw them;
// the passes set them directly. Nothing here knows of a toolkit.
#ifndef TROVANE_SHELL_CONTROLS_H_
#define TROVANE_SHELL_CONTROLS_H_

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/waitable.h"
#include "shell/taken_places.h"

namespace trovane {

// Counts every change a user could see, so that a front end redraws only
// when something changed.
class Revision {
 public:
  void Bump() { ++value_; }
  uint64_t value() const { return value_; }

 private:
  uint64_t value_ = 0;
};

class Label {
 public:
  Label(Revision& revision, std::string caption)
      : revision_(revision), caption_(std::move(caption)) {}
  void SetCaption(std::string_view caption);
  const std::string& caption() const { return caption_; }

 private:
  Revision& revision_;
  std::string caption_;
};

// A progress bar keeps its minimum, maximum and value as single-precision
// numbers, far beyond 2^31 if need be; a front end scales them to draw. An
// assignment the bar refuses leaves it as it was: a minimum not below the
// maximum, a maximum not above the minimum, a value outside the two.
class ProgressBar {
 public:
  explicit ProgressBar(Revision& revision) : revision_(revision) {}
  bool SetMin(float min);
  bool SetMax(float max);
  bool SetValue(float value);
  float min() const { return min_; }
  float max() const { return max_; }
  float value() const { return value_; }
  // The share of the bar that is filled, 0 to 1.
  double Fraction() const;

 private:
  Revision& revision_;
  float min_ = 0.0F;
  float max_ = 100.0F;
  float value_ = 0.0F;
};

// The list box keeps its items in the order they were added. Removing one
// costs the same wherever it stands, however long the list: a scan takes
// tens of thousands of found entries off it one by one.
class ListBox {
 public:
  void AddItem(std::string item);
  // Removes the item at `index`; an index out of range is refused.
  bool RemoveItem(int index);
  // The item at `index`; an index out of range throws std::out_of_range.
  const std::string& Item(int index) const;
  int ListCount() const { return static_cast<int>(places_.taken()); }
  // The items in order; made afresh after a change, when first asked for.
  const std::vector<std::string>& items() const;

 private:
  std::vector<std::string> added_;  // a removed item's place stays, empty
  TakenPlaces places_;
  mutable std::vector<std::string> items_;
  mutable bool items_current_ = true;
};

class CommandButton {
 public:
  explicit CommandButton(std::string caption) : caption_(std::move(caption)) {}
  void SetEnabled(bool enabled) { enabled_ = enabled; }
  bool enabled() const { return enabled_; }
  const std::string& caption() const { return caption_; }

 private:
  std::string caption_;
  bool enabled_ = true;
};

// A timer ticks through the event loop while it is enabled. A tick is never
// delivered while the previous tick of the same timer is still being
// handled, whatever the toolkit does: a handler that yields to the event
// loop cannot be started a second time from within.
class Timer {
 public:
  using Handler = std::function<void()>;

  Timer(std::chrono::milliseconds interval, Handler on_tick)
      : interval_(interval), on_tick_(std::move(on_tick)) {}

  void SetEnabled(bool enabled);
  bool enabled() const { return enabled_; }
  std::chrono::milliseconds interval() const { return interval_; }

  // What becomes ready when a tick is worth delivering at once; set before
  // the timer is enabled. A timer that has wakers ticks when one is ready,
  // and otherwise only every `idle_interval`: its handler takes in
  // whatever made them ready.
  void SetWakers(std::vector<Waitable> wakers,
                 std::chrono::milliseconds idle_interval) {
    wakers_ = std::move(wakers);
    interval_ = idle_interval;
  }
  const std::vector<Waitable>& wakers() const { return wakers_; }

  // Delivers one tick, unless the timer is disabled or already ticking.
  void Tick();
  bool ticking() const { return ticking_; }

  // Told of every change of the enabled state: the event loop arms and
  // disarms its own timer with it.
  void SetObserver(std::function<void(bool enabled)> observer) {
    observer_ = std::move(observer);
  }

 private:
  std::chrono::milliseconds interval_;
  std::vector<Waitable> wakers_;
  Handler on_tick_;
  std::function<void(bool)> observer_;
  bool enabled_ = false;
  bool ticking_ = false;
};

}  // namespace trovane

#endif  // TROVANE_SHELL_CONTROLS_H_
