#include "databank/lock_wait.h"

#include <algorithm>

namespace trovane {
namespace {

constexpr std::chrono::milliseconds kLongestPause{1000};
constexpr std::chrono::milliseconds kSlice{100};

}  // namespace

bool LockWait::Pause() {
  if (waited_ >= kLongest) return false;
  for (auto left = next_; left.count() > 0; left -= kSlice) {
    clock_.Sleep(std::min(left, kSlice));
    if (handler_) handler_();
  }
  waited_ += next_;
  next_ = std::min(next_ * 2, kLongestPause);
  return true;
}

}  // namespace trovane
