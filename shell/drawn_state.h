// What the window front ends share in drawing the window's state with a
// toolkit's controls: a progress bar's filled share in whole steps, and the
// stretch of a list that changed since it was last shown.
#ifndef TROVANE_SHELL_DRAWN_STATE_H_
#define TROVANE_SHELL_DRAWN_STATE_H_

#include <cstddef>
#include <string>
#include <vector>

#include "shell/controls.h"

namespace trovane {

// The filled share of `bar` in `steps` steps: 0 for a bar with no share to
// show (one stretched to infinity), never more than `steps`.
int FilledSteps(const ProgressBar& bar, int steps);

// How `now` differs from `shown`: the items that both begin with (`head`)
// and end with (`tail`) stay; the rest of `shown` is removed and the rest
// of `now` put in its place. The passes add at the end and remove single
// items by index, so that stretch is short.
struct ListStretch {
  size_t head = 0;
  size_t tail = 0;
};
ListStretch ChangedStretch(const std::vector<std::string>& shown,
                           const std::vector<std::string>& now);

}  // namespace trovane

#endif  // TROVANE_SHELL_DRAWN_STATE_H_
