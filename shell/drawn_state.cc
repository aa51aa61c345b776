#include "shell/drawn_state.h"

#include <algorithm>
#include <cmath>

namespace trovane {

int FilledSteps(const ProgressBar& bar, int steps) {
  const double fraction = bar.Fraction();
  if (!(fraction > 0)) return 0;
  return static_cast<int>(std::lround(std::min(fraction, 1.0) * steps));
}

ListStretch ChangedStretch(const std::vector<std::string>& shown,
                           const std::vector<std::string>& now) {
  ListStretch stretch;
  stretch.head =
      static_cast<size_t>(std::ranges::mismatch(now, shown).in1 - now.begin());
  while (stretch.tail < now.size() - stretch.head &&
         stretch.tail < shown.size() - stretch.head &&
         now[now.size() - 1 - stretch.tail] ==
             shown[shown.size() - 1 - stretch.tail]) {
    ++stretch.tail;
  }
  return stretch;
}

}  // namespace trovane
