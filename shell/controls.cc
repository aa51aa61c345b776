#include "shell/controls.h"

#include <stdexcept>
#include <utility>

namespace trovane {

void Label::SetCaption(std::string_view caption) {
  if (caption == caption_) return;
  caption_ = caption;
  revision_.Bump();
}

bool ProgressBar::SetMin(float min) {
  if (!(min < max_)) return false;
  min_ = min;
  if (value_ < min_) value_ = min_;
  revision_.Bump();
  return true;
}

bool ProgressBar::SetMax(float max) {
  if (!(max > min_)) return false;
  max_ = max;
  if (value_ > max_) value_ = max_;
  revision_.Bump();
  return true;
}

bool ProgressBar::SetValue(float value) {
  if (!(value >= min_ && value <= max_)) return false;
  if (value != value_) {
    value_ = value;
    revision_.Bump();
  }
  return true;
}

double ProgressBar::Fraction() const {
  const double span = static_cast<double>(max_) - min_;
  return span > 0 ? (static_cast<double>(value_) - min_) / span : 0.0;
}

void ListBox::AddItem(std::string item) {
  added_.push_back(std::move(item));
  places_.Take();
  items_current_ = false;
}

bool ListBox::RemoveItem(int index) {
  if (index < 0 || index >= ListCount()) return false;
  const size_t place = places_.Nth(static_cast<size_t>(index));
  // The string's memory goes now; its place stays, counted as free.
  std::string().swap(added_[place]);
  places_.Free(place);
  items_current_ = false;
  return true;
}

const std::string& ListBox::Item(int index) const {
  if (index < 0 || index >= ListCount()) {
    throw std::out_of_range("ListBox::Item");
  }
  return added_[places_.Nth(static_cast<size_t>(index))];
}

const std::vector<std::string>& ListBox::items() const {
  if (!items_current_) {
    items_.clear();
    items_.reserve(places_.taken());
    for (size_t i = 0; i < places_.taken(); ++i) {
      items_.push_back(added_[places_.Nth(i)]);
    }
    items_current_ = true;
  }
  return items_;
}

void Timer::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  if (observer_) observer_(enabled);
}

void Timer::Tick() {
  if (!enabled_ || ticking_) return;
  ticking_ = true;
  // Reset even when the handler leaves by an exception, as a test's end of
  // the process does.
  struct Reset {
    bool& flag;
    ~Reset() { flag = false; }
  } reset{ticking_};
  on_tick_();
}

}  // namespace trovane
