// Recording found entries: a first run records N entries that the disk map
// scan finds into a databank that already holds N lines of other keys, at
// N = 1,000 and 100,000. The drive holds the N wanted files (a thousand to a
// folder, names in mixed case) and the wanted list asks for all of them, so
// the old-entry check resolves none, the batch lists the drive and the scan
// records every one.
//
// Usage: record_bench [WORK_FOLDER]
//
// Prints the time of the disk map scan ("About to begin search" to "Done",
// by the benchmark's own clock as the messages appear in the activity log)
// at each N, the median of 5 runs at 1,000 and one run at 100,000, and its
// time per recorded entry (goal: at most 100 µs at each N), with the CPU
// time the run used for it. A run is stopped
// once its double-check begins (double_check_bench measures that), or at
// its time limit; a scan cut short by the limit gives a lower bound.
#include <array>
#include <chrono>
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
constexpr int kSmallRuns = 5;  // runs of the 1,000-entry case
constexpr std::chrono::seconds kLimit{120};
constexpr double kGoalMicroseconds = 100.0;  // an entry, at each N
constexpr auto kWatchPause = std::chrono::milliseconds(1);

constexpr const char* kSearchStart = "About to begin search";
constexpr const char* kScanEnd = "Done";
constexpr const char* kDoubleCheckStart = "Doubble-checking:";

struct ScanTime {
  bool finished = false;  // false: the time is a lower bound
  double seconds = 0;
  std::optional<double> cpu_seconds;  // the run's own, when finished
};

// One run; nullopt when it failed.
std::optional<ScanTime> RunOnce(const Sandbox& sandbox, int entries,
                                const std::string& wanted,
                                const std::string& others) {
  sandbox.WriteRunInput(wanted, others);
  LogWatcher watcher(sandbox.activity_log(),
                     {kSearchStart, kScanEnd, kDoubleCheckStart}, kWatchPause);
  Child setup = Child::StartSetup(sandbox);
  const bool reached =
      watcher.WaitFor(kDoubleCheckStart, setup, setup.started() + kLimit)
          .has_value();
  const Ending ending = setup.Stop();
  const SteadyClock::time_point stopped_at = SteadyClock::now();
  if (!ending.stopped && !reached) {
    std::printf("  the run ended with %s before its double-check (see %s)\n",
                ending.Describe().c_str(), sandbox.output().c_str());
    return std::nullopt;
  }
  const std::optional<SteadyClock::time_point> start =
      watcher.SeenAt(kSearchStart);
  if (!start) {
    std::printf("  the search pass did not begin within %d s\n",
                static_cast<int>(kLimit.count()));
    return std::nullopt;
  }
  const std::optional<SteadyClock::time_point> end = watcher.SeenAt(kScanEnd);
  if (end) {
    const int recorded = CountDatabankEntries(sandbox.databank(), "Key_");
    if (recorded != entries) {
      std::printf("  the scan recorded %d of the %d entries\n", recorded,
                  entries);
      return std::nullopt;
    }
  }
  return ScanTime{end.has_value(),
                  SecondsBetween(*start, end.value_or(stopped_at)),
                  watcher.CpuSecondsBetween(kSearchStart, kScanEnd)};
}

int Main(int argc, char** argv) {
  const fs::path base = argc > 1 ? argv[1] : TROVANE_BENCH_FOLDER;
  std::printf(
      "recording found entries (a first run: all N wanted files on the "
      "drive, the databank holds N other lines)\n");
  for (const int entries : kSizes) {
    const fs::path drive = base / ("drive-" + std::to_string(entries));
    EnsureNumberedFiles(drive, entries);
    const Sandbox sandbox(drive, TROVANE_SETUP_PATH, TROVANE_CMD_PATH);
    std::string wanted;
    std::string others;
    for (int i = 0; i < entries; ++i) {
      wanted += "Key_" + std::to_string(i) + "=" + NumberedFileName(i) + "\r\n";
      others +=
          "Other_" + std::to_string(i) + "=" + NumberedDrivePath(i) + "\r\n";
    }
    const int runs = entries == kSizes.front() ? kSmallRuns : 1;
    std::vector<double> seconds;
    std::vector<double> cpu_seconds;
    bool finished = true;
    for (int i = 0; i < runs; ++i) {
      const std::optional<ScanTime> scan =
          RunOnce(sandbox, entries, wanted, others);
      if (!scan) return 1;
      seconds.push_back(scan->seconds);
      if (scan->cpu_seconds) cpu_seconds.push_back(*scan->cpu_seconds);
      finished = finished && scan->finished;
    }
    const double scan_seconds = Median(seconds);
    const double microseconds = scan_seconds * 1e6 / entries;
    const char* over = finished ? "" : "over ";
    std::printf(
        "N = %s (%s): disk map scan %s%.3f s, %s%.1f µs an entry%s\n",
        WithCommas(entries).c_str(),
        runs > 1 ? Formatted("median of %d runs", runs).c_str() : "1 run", over,
        scan_seconds, over, microseconds,
        cpu_seconds.empty()
            ? ""
            : Formatted(" (CPU %.1f µs)", Median(cpu_seconds) * 1e6 / entries)
                  .c_str());
    PrintGoal("recording, " + WithCommas(entries) + " entries",
              Formatted("%s%.1f µs an entry", over, microseconds),
              Formatted("at most %.0f µs", kGoalMicroseconds),
              VerdictAtMost(microseconds, kGoalMicroseconds, finished));
  }
  std::printf("  load average at the end: %s\n", LoadAverage().c_str());
  return 0;
}

}  // namespace
}  // namespace trovane::bench

int main(int argc, char** argv) { return trovane::bench::Main(argc, argv); }
