// The summary a run gives as it ends: what the Trovane databank holds for
// the wanted entries (recorded, removed by the double-check and why, not
// found, not written), and what else the user must hear of. Every front end
// shows it, each its own way; the text is the same everywhere.
#ifndef TROVANE_SHELL_RUN_SUMMARY_H_
#define TROVANE_SHELL_RUN_SUMMARY_H_

#include <chrono>
#include <string>
#include <vector>

#include "platform/console.h"
#include "shell/run_outcome.h"
#include "shell/run_report.h"

namespace trovane {

struct RunSummary {
  RunOutcome outcome = RunOutcome::kInterrupted;
  // The first line without the product's name, short enough for a status
  // line: "9 of 11 wanted entries recorded."
  std::string status;
  // For standard output, one sentence a line: "Trovane Setup: " and the
  // status, then each wanted entry removed or not recorded and why, the
  // keys not found, and whatever else could not be written.
  std::vector<std::string> lines;
  // What else the user must hear of, for standard error or a box: the
  // notices of the run and what the scan batch said.
  std::vector<std::string> details;
  // True when the run completed and the status says it all: every wanted
  // entry recorded, nothing failed, nothing to tell.
  bool all_well = false;

  // What a window shows of it: in its status line once the run is done,
  // and in the box that ends a run with more to tell, the status and the
  // lines that follow it, then the details.
  std::string StatusLine() const { return "DONE! " + status; }
  std::string BoxText() const;
};

// How long a window shows a summary that says it all before it closes
// itself.
inline constexpr std::chrono::milliseconds kSummaryShownFor{3000};

// `remaining` are the wanted entries still in FileList, key=value texts;
// `batch_messages` what the scan batch said, ready to show.
RunSummary SummarizeRun(const RunReport& report, RunOutcome outcome,
                        const std::vector<std::string>& remaining,
                        const std::vector<std::string>& batch_messages);

// `lines` joined, each ended by a line feed.
std::string JoinedLines(const std::vector<std::string>& lines);

// What a window writes of the summary to its streams besides showing it:
// the lines on standard output, the details on standard error.
void WriteSummaryToStreams(Console& console, const RunSummary& summary);

}  // namespace trovane

#endif  // TROVANE_SHELL_RUN_SUMMARY_H_
