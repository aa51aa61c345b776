// The last stage of the search pass and of a run: the outcome is reported,
// with a line for each entry the double-check repaired or removed, the two
// bookkeeping entries record where the upkeep files lie, and the window
// unloads. A run ends with problems when an entry had to be removed or
// anything could not be written.
#ifndef TROVANE_SEARCH_COMPLETION_REPORT_H_
#define TROVANE_SEARCH_COMPLETION_REPORT_H_

#include <string_view>

#include "shell/window.h"

namespace trovane {

// `problems` is the double-check's problem flag. Never returns: the unload
// ends the process.
[[noreturn]] void ReportCompletion(Window& window, bool problems);

inline constexpr std::string_view kProblemsTitle = "Problems encountered...";
inline constexpr std::string_view kProblemsText =
    "On double-check illegal entries have been found. There are no illegal "
    "entries in the database at the moment, but to make sure your VEK "
    "programs will run appropriately, you should run Trovane again.";
// The same message when some of the entries could not be removed: the
// databank still holds them, and saying otherwise would be false.
inline constexpr std::string_view kProblemsUnremovedText =
    "On double-check illegal entries have been found, and not all of them "
    "could be removed: the database could not be written. To make sure your "
    "VEK programs will run appropriately, make sure it can be written, then "
    "run Trovane again.";

}  // namespace trovane

#endif  // TROVANE_SEARCH_COMPLETION_REPORT_H_
