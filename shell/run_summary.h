// The one line a run prints on standard output as it ends: how many of the
// wanted entries it loaded were found, and the keys of those that were not.
#ifndef TROVANE_SHELL_RUN_SUMMARY_H_
#define TROVANE_SHELL_RUN_SUMMARY_H_

#include <string>
#include <vector>

#include "shell/run_outcome.h"

namespace trovane {

// `remaining` are the wanted entries still in FileList, key=value texts.
std::string RunSummary(RunOutcome outcome, int loaded,
                       const std::vector<std::string>& remaining);

}  // namespace trovane

#endif  // TROVANE_SHELL_RUN_SUMMARY_H_
