// A whole run against the listing alone, side by side. The drive holds the
// million-entry tree under Tree (made once, shared with listing_bench); the
// wanted list asks for 1,000 of its files and the databank holds 1,000
// lines of other keys, each naming another file of the tree, so the batch
// lists the whole drive, the scan records all 1,000 entries and the
// double-check keeps every line.
//
// Usage: whole_run_bench [DRIVE_FOLDER]
//
// After one run that warms the caches, alternately: a whole run of
// trovane-setup (start to exit, the listing included), and trovane-cmd
// alone on the Map.bat that run wrote. Prints the medians of 5, their ratio
// (goal: at most 2), how the whole run splits between its phases, what it
// wrote beside the listing (log lines, and the swap files of its Sets),
// the same ratio for first runs (the disk map and its index removed before
// each), and the peak memory of each program in its own run; trovane-setup's is
// a goal here (at most 64 MiB), trovane-cmd's is one of listing_bench's.
#include <algorithm>
#include <cctype>
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

constexpr int kRepetitions = 5;
constexpr int kWanted = 1000;
// The wanted files are every 990th of the tree, the others halfway between.
constexpr int kFirstWanted = 500;
constexpr int kSpacing = 990;
constexpr double kRatioGoal = 2.0;
constexpr double kMemoryGoalMib = 64.0;
constexpr std::chrono::minutes kLimit{5};

struct Input {
  std::string wanted;
  std::string others;
};

// A path under the drive folder in the form the scan records it.
std::string DriveForm(const std::string& drive, const std::string& path) {
  std::string form = "C:";
  for (const char c : path.substr(drive.size())) {
    form.push_back(c == '/' ? '\\'
                            : static_cast<char>(
                                  std::toupper(static_cast<unsigned char>(c))));
  }
  return form;
}

Input MakeInput(const fs::path& drive) {
  Input input;
  int wanted = 0;
  int others = 0;
  ForEachTreeFile(
      (drive / "Tree").string(), [&](int number, const std::string& path) {
        if (number < kFirstWanted) return;
        const int offset = (number - kFirstWanted) % kSpacing;
        if (offset == 0 && wanted < kWanted) {
          input.wanted += "Wanted_" + std::to_string(wanted++) + "=" +
                          path.substr(path.rfind('/') + 1) + "\r\n";
        } else if (offset == kSpacing / 2 && others < kWanted) {
          input.others += "Other_" + std::to_string(others++) + "=" +
                          DriveForm(drive.string(), path) + "\r\n";
        }
      });
  return input;
}

// A whole run from a fresh input; nullopt when it failed.
std::optional<Ending> WholeRun(const Sandbox& sandbox, const Input& input) {
  sandbox.WriteRunInput(input.wanted, input.others);
  Child setup = Child::StartSetup(sandbox);
  const Ending ending = setup.Wait(setup.started() + kLimit);
  if (!ending.Succeeded()) {
    std::printf("  the whole run ended with %s (see %s)\n",
                ending.Describe().c_str(), sandbox.output().c_str());
    return std::nullopt;
  }
  const int recorded = CountDatabankEntries(sandbox.databank(), "Wanted_");
  if (recorded != kWanted) {
    std::printf("  the whole run recorded %d of the %d entries\n", recorded,
                kWanted);
    return std::nullopt;
  }
  return ending;
}

// trovane-cmd on the batch the last whole run wrote; nullopt when it failed.
std::optional<Ending> ListingAlone(const Sandbox& sandbox) {
  Child cmd({"./trovane-cmd", "Map.bat"}, sandbox.run(), sandbox.Environment(),
            "/dev/null");
  const Ending ending = cmd.Wait(cmd.started() + kLimit);
  if (!ending.Succeeded()) {
    std::printf("  trovane-cmd Map.bat ended with %s\n",
                ending.Describe().c_str());
    return std::nullopt;
  }
  return ending;
}

// Whole runs, each followed by the listing alone, and the medians.
struct Rounds {
  double whole = 0;
  double alone = 0;
  RunSplit split;  // the whole runs' phases
  int64_t whole_peak_kib = 0;
  int64_t alone_peak_kib = 0;
};

// With `first`, the disk map and its index are removed before each run,
// as a drive is before the program's first run on it; otherwise each run
// finds the last one's. Nullopt when a run failed.
std::optional<Rounds> Measure(const Sandbox& sandbox, const Input& input,
                              bool first) {
  const fs::path disk_map = sandbox.temp() / "Trovane.txt";
  const auto forget_last_run = [&] {
    if (!first) return;
    fs::remove(disk_map);
    fs::remove(IndexBeside(disk_map));
  };
  std::vector<double> whole_seconds;
  std::vector<double> alone_seconds;
  Rounds rounds;
  for (int i = 0; i < kRepetitions; ++i) {
    forget_last_run();
    const std::optional<Ending> whole = WholeRun(sandbox, input);
    if (!whole) return std::nullopt;
    rounds.split.Add(sandbox.activity_log());
    forget_last_run();
    const std::optional<Ending> alone = ListingAlone(sandbox);
    if (!alone) return std::nullopt;
    whole_seconds.push_back(whole->seconds);
    alone_seconds.push_back(alone->seconds);
    rounds.whole_peak_kib = std::max(rounds.whole_peak_kib, whole->peak_kib);
    rounds.alone_peak_kib = std::max(rounds.alone_peak_kib, alone->peak_kib);
  }
  rounds.whole = Median(whole_seconds);
  rounds.alone = Median(alone_seconds);
  return rounds;
}

int Main(int argc, char** argv) {
  const fs::path drive = argc > 1 ? argv[1] : TROVANE_BENCH_FOLDER;
  if (!EnsureTree((drive / "Tree").string())) {
    std::printf("cannot make the tree under %s\n", drive.c_str());
    return 1;
  }
  const Sandbox sandbox(drive, TROVANE_SETUP_PATH, TROVANE_CMD_PATH);
  const Input input = MakeInput(drive);
  if (!WholeRun(sandbox, input)) return 1;  // warms the caches
  const std::optional<Rounds> again = Measure(sandbox, input, false);
  if (!again) return 1;
  std::printf(
      "whole run against the listing alone: %s wanted entries (all present), "
      "a databank of %s other lines, a disk map of %s entries\n",
      WithCommas(kWanted).c_str(), WithCommas(kWanted).c_str(),
      WithCommas(CountLines(sandbox.temp() / "Trovane.txt")).c_str());
  std::printf(
      "  whole run (trovane-setup, start to exit), median of %d: %.3f s\n",
      kRepetitions, again->whole);
  std::printf("  trovane-cmd Map.bat alone, median of %d:             %.3f s\n",
              kRepetitions, again->alone);
  std::printf("  the whole run's phases, medians:\n");
  again->split.Print(4);
  // What the rest of the run cannot do without, whatever the listing costs.
  const fs::path databank_log = sandbox.run() / "Database_IO.log";
  std::printf(
      "  beside the listing, the last run wrote %s activity log lines and %s "
      "databank log lines, each in a write of its own, and set %s entries, "
      "each through a swap file of its own\n",
      WithCommas(CountLines(sandbox.activity_log())).c_str(),
      WithCommas(CountLines(databank_log)).c_str(),
      WithCommas(CountLinesWith(databank_log, "allocated swap")).c_str());
  std::printf("  peak memory: trovane-setup %.1f MiB, trovane-cmd %.1f MiB\n",
              Mebibytes(again->whole_peak_kib),
              Mebibytes(again->alone_peak_kib));
  // The same on a drive the program has not run on before: no index lets
  // either listing skip a folder.
  const std::optional<Rounds> first = Measure(sandbox, input, true);
  if (!first) return 1;
  std::printf(
      "  first runs (no disk map or index left), medians of %d: whole run "
      "%.3f s, trovane-cmd Map.bat alone %.3f s, a ratio of %.2f\n",
      kRepetitions, first->whole, first->alone, first->whole / first->alone);
  const double ratio = again->whole / again->alone;
  PrintGoal("whole run / the listing alone", Formatted("%.2f", ratio),
            Formatted("at most %.1f", kRatioGoal),
            Verdict(ratio <= kRatioGoal));
  const int64_t peak_kib =
      std::max(again->whole_peak_kib, first->whole_peak_kib);
  PrintGoal("peak memory: trovane-setup",
            Formatted("%.1f MiB", Mebibytes(peak_kib)),
            Formatted("at most %.0f MiB", kMemoryGoalMib),
            Verdict(Mebibytes(peak_kib) <= kMemoryGoalMib));
  std::printf("  load average at the end: %s\n", LoadAverage().c_str());
  return 0;
}

}  // namespace
}  // namespace trovane::bench

int main(int argc, char** argv) { return trovane::bench::Main(argc, argv); }
