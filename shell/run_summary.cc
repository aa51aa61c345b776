#include "shell/run_summary.h"

#include "databank/entry_line.h"

namespace trovane {

std::string RunSummary(RunOutcome outcome, int loaded,
                       const std::vector<std::string>& remaining) {
  const int left = static_cast<int>(remaining.size());
  std::string summary = outcome == RunOutcome::kInterrupted
                            ? "Trovane Setup ended before completion: "
                            : "Trovane Setup: ";
  summary += std::to_string(loaded - left) + " of " + std::to_string(loaded) +
             " wanted entries found";
  if (left > 0) {
    summary += outcome == RunOutcome::kInterrupted ? "; still to find: "
                                                   : "; not found: ";
    for (int i = 0; i < left; ++i) {
      if (i > 0) summary += ", ";
      summary += EntryKey(remaining[i]).value_or(remaining[i]);
    }
  }
  summary += ".";
  return summary;
}

}  // namespace trovane
