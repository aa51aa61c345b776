// The old-entry check and the double-check per databank line, at 1,000,
// 10,000 and 100,000 lines. Each case is a second run: the drive holds N
// files (a thousand to a folder, names in mixed case), the databank already
// records all N of them upper-cased, as the scan records them, and the
// wanted list asks for the same N, so the old-entry check resolves every
// entry, no batch runs, and the double-check walks all N lines.
//
// Usage: double_check_bench [WORK_FOLDER]
//
// Prints, for each N, the time of both phases and their time a line, by the
// benchmark's own clock as the phase messages appear in the activity log;
// then the ratio of the times a line at 100,000 and at 1,000 (goal: close
// to 1, taken here as at most 1.5) and the time of each phase at 100,000
// (goal: under 2 s). Both phases grew with the square of N when this was
// written, so the largest case is skipped when the one before it took more
// than 20 s, and a run that passes its time limit of 60 s is stopped: the
// phase it was in is reported as "over" the time it had run, with its time
// a line over the lines it had walked, a lower bound.
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

constexpr std::array<int, 3> kSizes = {1'000, 10'000, 100'000};
constexpr int kSmallRuns = 3;  // runs of the 1,000-line case
constexpr double kSkipAfterSeconds = 20.0;
constexpr std::chrono::seconds kLimit{60};
constexpr double kFlatGoal = 1.5;
constexpr double kLargestSeconds = 2.0;  // goal at the largest size
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
  int64_t lines = 0;  // lines walked; N when finished
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
    std::printf("  %-16s %9.3f s %10.1f µs a line\n", name, phase.seconds,
                MicrosecondsALine(phase));
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

// The goals of one phase: its time a line flat from the smallest size to
// the largest, and the largest size within its time. A figure that is only
// a lower bound, or taken at a smaller size than the goal's, misses the
// goal when it misses it already, and is otherwise not measured.
void PrintGoals(const char* name, const std::vector<PhaseTime>& phases) {
  const PhaseTime& small = phases.front();
  const PhaseTime& large = phases.back();
  const std::string largest = WithCommas(kSizes.back());
  if (phases.size() < 2 || !large.reached) {
    std::printf(
        "  %-16s time a line, 100k / 1k: no figure   goal: at most "
        "%.1f (flat)   not measured\n",
        name, kFlatGoal);
    std::printf(
        "  %-16s %s lines: no figure   goal: under %.0f s   not "
        "measured\n",
        name, largest.c_str(), kLargestSeconds);
    return;
  }
  const bool complete = phases.size() == kSizes.size() && large.finished;
  const double ratio = MicrosecondsALine(large) / MicrosecondsALine(small);
  const char* verdict = Verdict(ratio <= kFlatGoal);
  if (!complete && ratio <= kFlatGoal) verdict = "not measured";
  std::printf(
      "  %-16s time a line, %sk / 1k: %s%.2f   goal: at most %.1f "
      "(flat)   %s\n",
      name, WithCommas(kSizes[phases.size() - 1] / 1000).c_str(),
      large.finished ? "" : "over ", ratio, kFlatGoal, verdict);
  if (phases.size() < kSizes.size()) {
    std::printf(
        "  %-16s %s lines: skipped   goal: under %.0f s   not "
        "measured\n",
        name, largest.c_str(), kLargestSeconds);
    return;
  }
  verdict = Verdict(large.seconds < kLargestSeconds);
  if (!large.finished && large.seconds < kLargestSeconds) {
    verdict = "not measured";
  }
  std::printf("  %-16s %s lines: %s%.2f s   goal: under %.0f s   %s\n", name,
              largest.c_str(), large.finished ? "" : "over ", large.seconds,
              kLargestSeconds, verdict);
}

// Says so and returns true when a case is not worth running after the one
// at a tenth of its size took `seconds`.
bool Skipped(double seconds, int lines) {
  if (seconds <= kSkipAfterSeconds) return false;
  std::printf(
      "N = %s: skipped: the %s-line run took %.1f s, more than %.0f s\n",
      WithCommas(lines).c_str(), WithCommas(lines / 10).c_str(), seconds,
      kSkipAfterSeconds);
  return true;
}

int Main(int argc, char** argv) {
  const fs::path base = argc > 1 ? argv[1] : TROVANE_BENCH_FOLDER;
  std::printf(
      "old-entry check and double-check a databank line (a second run: every "
      "entry already resolved, no batch)\n");
  std::vector<PhaseTime> old_checks;
  std::vector<PhaseTime> double_checks;
  double last_run_seconds = 0;
  for (const int lines : kSizes) {
    if (lines != kSizes.front() && Skipped(last_run_seconds, lines)) break;
    const fs::path drive = base / ("drive-" + std::to_string(lines));
    EnsureNumberedFiles(drive, lines);
    const Sandbox sandbox(drive, TROVANE_SETUP_PATH, TROVANE_CMD_PATH);
    std::string wanted;
    std::string entries;
    for (int i = 0; i < lines; ++i) {
      const std::string key = "Key_" + std::to_string(i);
      wanted += key + "=" + NumberedFileName(i) + "\r\n";
      entries += key + "=" + NumberedDrivePath(i) + "\r\n";
    }
    const int runs = lines == kSizes.front() ? kSmallRuns : 1;
    std::vector<RunResult> results;
    for (int i = 0; i < runs; ++i) {
      const std::optional<RunResult> result =
          RunOnce(sandbox, lines, wanted, entries);
      if (!result) return 1;
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
    last_run_seconds = Median(whole);
    std::printf("N = %s (%s): whole run %.2f s%s\n", WithCommas(lines).c_str(),
                runs > 1 ? "median of 3 runs" : "1 run", last_run_seconds,
                results.front().double_check.finished
                    ? ""
                    : ", stopped at the time limit");
    old_checks.push_back(median_phase(&RunResult::old_check));
    double_checks.push_back(median_phase(&RunResult::double_check));
    PrintPhase("old-entry check", old_checks.back(), lines);
    PrintPhase("double-check", double_checks.back(), lines);
  }
  std::printf("goals:\n");
  PrintGoals("old-entry check", old_checks);
  PrintGoals("double-check", double_checks);
  std::printf("  load average at the end: %s\n", LoadAverage().c_str());
  return 0;
}

}  // namespace
}  // namespace trovane::bench

int main(int argc, char** argv) { return trovane::bench::Main(argc, argv); }
