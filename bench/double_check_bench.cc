// The old-entry check and the double-check per databank line, at 1,000 and
// 100,000 lines. The drive holds N files (a thousand to a folder, names in
// mixed case) and the databank N lines that name them upper-cased, as the
// scan records them. Two kinds of line, each a run of its own:
// - wanted keys, a second run: the wanted list asks for the same N keys, so
//   the old-entry check resolves every entry, no batch runs, and the
//   double-check finds each line's correct file name in the wanted list;
// - other keys: the wanted list is empty, so the double-check looks for the
//   shortest tail of each line's path that no wanted entry holds and adds
//   it to the wanted list, as it does for the lines that earlier runs left.
//
// Usage: double_check_bench [WORK_FOLDER]
//
// Prints, for each N and kind (the median of 5 runs at 1,000, one run at
// 100,000), the time of the phases and their time a line, by the
// benchmark's own clock as the phase messages appear in the activity log,
// with the CPU time the run used for them; the double-check's time a line
// is the goal (at most 50 µs at each N, for each kind). A run that passes
// its time limit of 120 s is stopped: the phase it was in is reported as
// "over" the time it had run, with its time a line over the lines it had
// walked, a lower bound.
#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "bench/bench_support.h"

namespace trovane::bench {
namespace {

namespace fs = std::filesystem;

constexpr std::array<int, 2> kSizes = {1'000, 100'000};
constexpr int kSmallRuns = 5;  // runs of the 1,000-line case
// Room for the slowest case measured so far, 100,000 lines of other keys
// (about a minute), with a margin.
constexpr std::chrono::seconds kLimit{120};
constexpr double kGoalMicroseconds = 50.0;  // a double-checked line
constexpr auto kWatchPause = std::chrono::milliseconds(1);

constexpr const char* kOldCheckStart = "Checking old entries:";
constexpr const char* kBatchStart = "Executing batch";
constexpr const char* kSearchStart = "About to begin search";
constexpr const char* kDoubleCheckStart = "Doubble-checking:";
constexpr const char* kDoubleCheckEnd = "Finnished";

// One phase of one run: its time, or how far it got before the stop.
struct PhaseTime {
  bool reached = false;
  bool finished = false;
  double seconds = 0;
  int64_t lines = 0;                  // lines walked; N when finished
  std::optional<double> cpu_seconds;  // the run's own, when finished
};

struct RunResult {
  PhaseTime old_check;
  PhaseTime double_check;
  double seconds = 0;  // the whole run
};

// The phase from `start` to `end`; one the stop cut short runs up to
// `stopped_at`, and the log tells how many lines it walked: the messages
// that begin with `line_prefix`.
PhaseTime Phase(const LogWatcher& watcher, const fs::path& log,
                const char* start, const char* end, const char* line_prefix,
                int lines, SteadyClock::time_point stopped_at) {
  PhaseTime phase;
  const std::optional<SteadyClock::time_point> from = watcher.SeenAt(start);
  if (!from) return phase;
  const std::optional<SteadyClock::time_point> to = watcher.SeenAt(end);
  phase.reached = true;
  phase.finished = to.has_value();
  phase.seconds = SecondsBetween(*from, to.value_or(stopped_at));
  phase.lines = to ? lines : CountMessages(log, start, line_prefix);
  phase.cpu_seconds = watcher.CpuSecondsBetween(start, end);
  return phase;
}

// One run; nullopt when it failed.
std::optional<RunResult> RunOnce(const Sandbox& sandbox, int lines,
                                 const std::string& wanted,
                                 const std::string& entries) {
  sandbox.WriteRunInput(wanted, entries);
  LogWatcher watcher(sandbox.activity_log(),
                     {kOldCheckStart, kBatchStart, kSearchStart,
                      kDoubleCheckStart, kDoubleCheckEnd},
                     kWatchPause);
  Child setup = Child::StartSetup(sandbox);
  const bool finished =
      watcher.WaitFor(kDoubleCheckEnd, setup, setup.started() + kLimit)
          .has_value();
  const Ending ending =
      finished ? setup.Wait(SteadyClock::now() + kLimit) : setup.Stop();
  const SteadyClock::time_point stopped_at = SteadyClock::now();
  if (watcher.SeenAt(kBatchStart)) {
    std::printf("  the old-entry check left entries unresolved: a batch ran\n");
    return std::nullopt;
  }
  if (!ending.stopped && (!finished || !ending.Succeeded())) {
    std::printf("  the run ended with %s%s (see %s)\n",
                ending.Describe().c_str(),
                finished ? "" : " before the double-check ended",
                sandbox.output().c_str());
    return std::nullopt;
  }
  RunResult result;
  result.seconds = ending.seconds;
  const fs::path log = sandbox.activity_log();
  result.old_check = Phase(watcher, log, kOldCheckStart, kSearchStart,
                           "Filename from database = ", lines, stopped_at);
  // The walk counts the two housekeeping lines too.
  result.double_check = Phase(watcher, log, kDoubleCheckStart, kDoubleCheckEnd,
                              "--- Serial number: ", lines, stopped_at);
  if (!result.old_check.reached) {
    std::printf("  the run never began the old-entry check\n");
    return std::nullopt;
  }
  return result;
}

double MicrosecondsALine(const PhaseTime& phase) {
  return phase.lines > 0
             ? phase.seconds * 1e6 / static_cast<double>(phase.lines)
             : 0;
}

void PrintPhase(const char* name, const PhaseTime& phase, int lines) {
  if (phase.finished) {
    std::printf("  %-16s %9.3f s %10.1f µs a line%s\n", name, phase.seconds,
                MicrosecondsALine(phase),
                phase.cpu_seconds ? Formatted(" (CPU %.1f µs)",
                                              *phase.cpu_seconds * 1e6 /
                                                  static_cast<double>(lines))
                                        .c_str()
                                  : "");
  } else if (phase.reached) {
    std::printf(
        "  %-16s over %.1f s: stopped after %s of %s lines "
        "(%.1f µs a line so far)\n",
        name, phase.seconds, WithCommas(phase.lines).c_str(),
        WithCommas(lines).c_str(), MicrosecondsALine(phase));
  } else {
    std::printf("  %-16s not reached before the stop\n", name);
  }
}

// The runs of one kind of line; false when one failed.
bool MeasureKind(const Sandbox& sandbox, int lines, const char* kind,
                 const std::string& wanted, const std::string& entries) {
  const int runs = lines == kSizes.front() ? kSmallRuns : 1;
  std::vector<RunResult> results;
  for (int i = 0; i < runs; ++i) {
    const std::optional<RunResult> result =
        RunOnce(sandbox, lines, wanted, entries);
    if (!result) return false;
    results.push_back(*result);
  }
  // Each phase from its median run.
  const auto median_phase = [&results](PhaseTime RunResult::*phase) {
    std::vector<double> seconds;
    seconds.reserve(results.size());
    for (const RunResult& result : results) {
      seconds.push_back((result.*phase).seconds);
    }
    const double median = Median(seconds);
    for (const RunResult& result : results) {
      if ((result.*phase).seconds == median) return result.*phase;
    }
    return results.front().*phase;
  };
  std::vector<double> whole;
  whole.reserve(results.size());
  for (const RunResult& result : results) whole.push_back(result.seconds);
  std::printf(
      "N = %s, %s (%s): whole run %.2f s%s\n", WithCommas(lines).c_str(), kind,
      runs > 1 ? Formatted("median of %d runs", runs).c_str() : "1 run",
      Median(whole),
      results.front().double_check.finished ? ""
                                            : ", stopped at the time limit");
  if (!wanted.empty()) {
    PrintPhase("old-entry check", median_phase(&RunResult::old_check), lines);
  }
  const PhaseTime double_check = median_phase(&RunResult::double_check);
  PrintPhase("double-check", double_check, lines);
  const double microseconds = MicrosecondsALine(double_check);
  PrintGoal(
      Formatted("double-check, %s lines, %s", WithCommas(lines).c_str(), kind),
      double_check.reached
          ? Formatted("%s%.1f µs a line", double_check.finished ? "" : "over ",
                      microseconds)
          : "not reached",
      Formatted("at most %.0f µs", kGoalMicroseconds),
      double_check.reached ? VerdictAtMost(microseconds, kGoalMicroseconds,
                                           double_check.finished)
                           : kNotMeasured);
  return true;
}

int Main(int argc, char** argv) {
  const fs::path base = argc > 1 ? argv[1] : TROVANE_BENCH_FOLDER;
  std::printf(
      "old-entry check and double-check a databank line (no batch runs)\n");
  for (const int lines : kSizes) {
    const fs::path drive = base / ("drive-" + std::to_string(lines));
    EnsureNumberedFiles(drive, lines);
    const Sandbox sandbox(drive, TROVANE_SETUP_PATH, TROVANE_CMD_PATH);
    std::string wanted;
    std::string entries;
    std::string other_entries;
    for (int i = 0; i < lines; ++i) {
      const std::string key = "Key_" + std::to_string(i);
      wanted += key + "=" + NumberedFileName(i) + "\r\n";
      entries += key + "=" + NumberedDrivePath(i) + "\r\n";
      other_entries +=
          "Other_" + std::to_string(i) + "=" + NumberedDrivePath(i) + "\r\n";
    }
    if (!MeasureKind(sandbox, lines, "wanted keys", wanted, entries) ||
        !MeasureKind(sandbox, lines, "other keys", "", other_entries)) {
      return 1;
    }
  }
  std::printf("  load average at the end: %s\n", LoadAverage().c_str());
  return 0;
}

}  // namespace
}  // namespace trovane::bench

int main(int argc, char** argv) { return trovane::bench::Main(argc, argv); }
