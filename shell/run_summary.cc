#include "shell/run_summary.h"

#include <algorithm>

#include "databank/entry_line.h"
#include "databank/run_files.h"
#include "platform/text.h"

namespace trovane {
namespace {

constexpr std::string_view kProduct = "Trovane Setup";

// The keys of `items`, joined with ", ".
std::string Keys(const std::vector<std::string>& items) {
  std::string keys;
  for (const std::string& item : items) {
    if (!keys.empty()) keys += ", ";
    keys += EntryKey(item).value_or(item);
  }
  return keys;
}

// The wanted entries that `remaining` still holds, in loading order, and
// the others.
struct Split {
  std::vector<std::string> left;
  std::vector<std::string> taken;
};
Split SplitByRemaining(const std::vector<std::string>& wanted,
                       std::vector<std::string> remaining) {
  Split split;
  for (const std::string& item : wanted) {
    const auto left = std::find(remaining.begin(), remaining.end(), item);
    if (left == remaining.end()) {
      split.taken.push_back(item);
    } else {
      remaining.erase(left);
      split.left.push_back(item);
    }
  }
  return split;
}

const RunReport::Fate* FateOf(const std::map<std::string, RunReport::Fate>& of,
                              const std::string& item) {
  const auto fate = of.find(UpperAscii(EntryKey(item).value_or("")));
  return fate == of.end() ? nullptr : &fate->second;
}

std::string Counted(size_t count) { return std::to_string(count); }

}  // namespace

RunSummary SummarizeRun(const RunReport& report, RunOutcome outcome,
                        const std::vector<std::string>& remaining,
                        const std::vector<std::string>& batch_messages) {
  const bool completed = outcome != RunOutcome::kInterrupted;
  const std::vector<std::string>& wanted = report.wanted();
  const Split split = SplitByRemaining(wanted, remaining);
  std::vector<std::string> lines;
  size_t recorded = 0;
  for (const std::string& item : split.taken) {
    if (const RunReport::Fate* fate = FateOf(report.removed(), item)) {
      lines.push_back("Removed by the double-check: " + fate->key + ", " +
                      fate->detail + ".");
    } else if (const RunReport::Fate* lost =
                   FateOf(report.unrecorded(), item)) {
      lines.push_back("Not recorded: " + lost->key + ", " + lost->detail + ".");
    } else if (FateOf(report.unremoved(), item) == nullptr) {
      ++recorded;
    }
  }
  if (!split.left.empty()) {
    lines.push_back((completed ? "Not found: " : "Still to find: ") +
                    Keys(split.left) + ".");
  }
  for (const auto& [upper, fate] : report.unremoved()) {
    lines.push_back("Not removed: " + fate.key + ", " + fate.detail + "; " +
                    std::string(kTrovaneDatabank) + " could not be written.");
  }
  lines.insert(lines.end(), report.not_written().begin(),
               report.not_written().end());

  RunSummary summary;
  summary.outcome = outcome;
  if (!completed) {
    summary.status = Counted(split.taken.size()) + " of " +
                     Counted(wanted.size()) + " wanted entries found.";
  } else if (!report.wanted_list_problem().empty()) {
    summary.status =
        "nothing to look for: " + report.wanted_list_problem() + ".";
  } else if (wanted.empty()) {
    summary.status = "FileList.txt holds no wanted entries.";
  } else {
    summary.status = Counted(recorded) + " of " + Counted(wanted.size()) +
                     " wanted entries recorded.";
  }
  summary.lines.push_back(std::string(kProduct) +
                          (completed ? ": " : " ended before completion: ") +
                          summary.status);
  summary.lines.insert(summary.lines.end(), lines.begin(), lines.end());
  summary.details = report.notices();
  summary.details.insert(summary.details.end(), batch_messages.begin(),
                         batch_messages.end());
  summary.all_well = completed && lines.empty() && summary.details.empty() &&
                     report.wanted_list_problem().empty();
  return summary;
}

std::string RunSummary::BoxText() const {
  std::string text = status;
  for (size_t line = 1; line < lines.size(); ++line) text += "\n" + lines[line];
  if (!details.empty()) text += "\n\n" + JoinedLines(details);
  return text;
}

void WriteSummaryToStreams(Console& console, const RunSummary& summary) {
  console.WriteOutput(JoinedLines(summary.lines));
  if (!summary.details.empty()) {
    console.WriteError(JoinedLines(summary.details));
  }
}

std::string JoinedLines(const std::vector<std::string>& lines) {
  std::string joined;
  for (const std::string& line : lines) {
    joined += line;
    joined += '\n';
  }
  return joined;
}

}  // namespace trovane
