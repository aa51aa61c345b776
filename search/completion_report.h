// The last stage of the search pass and of a run: the outcome is reported,
// the two bookkeeping entries record where the upkeep files lie, and the
// window unloads.
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

}  // namespace trovane

#endif  // TROVANE_SEARCH_COMPLETION_REPORT_H_
