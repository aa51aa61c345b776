// How fast trovane-cmd writes a disk map, next to find(1) and fd listing
// the same tree into a file on the same file system. Two trees: a
// synthetic one of a million entries, made once and kept under the build
// folder in the drive of whole_run_bench, which lists it too, and /usr,
// only read.
//
// Usage: listing_bench [TREE_FOLDER]
//
// On the million-entry tree, in rounds that alternate the programs, medians
// of 5:
// - warm: a fresh listing by each program, nothing left of an earlier run
//   (its output file removed first, trovane-cmd's drive C emptied, so that
//   no earlier listing lies beside the disk map): trovane-cmd, `find TREE`
//   and `fdfind -u . TREE` (its default threads, its own order); and a
//   repeat: trovane-cmd's same batch again over the unchanged tree with its
//   last disk map and the index beside it left in place, so that it reads
//   no folder's entries from the disk; its output must be the fresh
//   listing's bytes; and the floor: folder_read_floor reading every folder
//   with a thread a core and doing nothing else, the part of any listing
//   that the kernel alone costs;
// - cold: the three fresh listings, with the page cache dropped before every
//   single run. That needs root; otherwise the cold rows are skipped.
// Then the warm listings of /usr, for a tree of another shape. Prints the
// wall and CPU times, the entry counts, the ratios and the goals.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "bench/bench_support.h"

namespace trovane::bench {
namespace {

namespace fs = std::filesystem;

constexpr int kRounds = 5;
constexpr std::chrono::minutes kLimit{5};
constexpr double kWarmGoal = 0.40;       // trovane-cmd / find
constexpr double kRepeatGoal = 0.10;     // trovane-cmd's repeat / find
constexpr double kColdFindGoal = 0.50;   // trovane-cmd / find
constexpr double kColdFdGoal = 0.60;     // trovane-cmd / fdfind -u
constexpr double kMemoryGoalMib = 64.0;  // trovane-cmd, any of its runs

// One way of listing a tree into a file.
struct Lister {
  std::string name;
  std::vector<std::string> argv;
  std::vector<std::string> environment;
  fs::path listing;  // the file the listing goes to
  fs::path output;   // the program's standard output and error
  // Whether nothing of an earlier run is left when it starts: its listing
  // is removed beforehand, and trovane-cmd's drive C emptied, so that the
  // run neither truncates an old file nor finds one beside its disk map.
  bool fresh = true;
  bool trovane_cmd = false;
};

// The wall and CPU times of one lister's runs.
struct Times {
  std::vector<double> seconds;
  std::vector<double> cpu_seconds;
};

// The three programs over `tree`, their files under `work`.
struct Listers {
  Lister fresh;   // trovane-cmd, nothing left from an earlier listing
  Lister repeat;  // trovane-cmd, its last disk map in place
  Lister find;
  Lister fd;
  Lister floor;  // every folder read, nothing kept or written
};

// trovane-cmd listing `tree` with the batch `batch`, drive C being `drive`.
Lister CmdLister(const std::string& name, const fs::path& batch,
                 const fs::path& drive, bool fresh) {
  fs::create_directories(drive);
  return {name,
          {TROVANE_CMD_PATH, batch.string()},
          {"VEK_DRIVE_C=" + drive.string()},
          drive / "Trovane.txt",
          drive.string() + ".out",
          fresh,
          true};
}

// A program that lists `argv`'s tree on its standard output, into `listing`.
Lister OtherLister(const std::string& name, std::vector<std::string> argv,
                   const fs::path& listing) {
  return {name, std::move(argv), {"PATH=/usr/bin:/bin"}, listing, listing, true,
          false};
}

Listers MakeListers(const std::string& tree, const fs::path& work) {
  const fs::path batch = work / "Map.bat";
  // The tree is reached through Z:, which stands for "/".
  std::string tree_in_drive_form = "Z:";
  for (const char c : tree) tree_in_drive_form.push_back(c == '/' ? '\\' : c);
  WriteFile(batch, "@Echo off\r\nDir " + tree_in_drive_form +
                       "\\* /s /b > C:\\Trovane.txt\r\n");
  return {
      CmdLister("trovane-cmd", batch, work / "fresh", true),
      CmdLister("trovane-cmd, repeat", batch, work / "repeat", false),
      OtherLister("find", {FindOnPath("find"), tree}, work / "find.txt"),
      OtherLister("fdfind -u", {FindOnPath("fdfind"), "-u", ".", tree},
                  work / "fd.txt"),
      OtherLister("the floor", {TROVANE_FLOOR_PATH, tree}, work / "floor.txt")};
}

// Runs `lister` once; nullopt, said why, when it failed.
std::optional<Ending> ListOnce(const Lister& lister) {
  if (lister.argv.front().empty()) {
    std::printf("  %s is not installed (make bench installs it)\n",
                lister.name.c_str());
    return std::nullopt;
  }
  if (lister.fresh && lister.trovane_cmd) {
    const fs::path drive = lister.listing.parent_path();
    fs::remove_all(drive);
    fs::create_directories(drive);
  } else if (lister.fresh) {
    fs::remove(lister.listing);
  }
  Child child(lister.argv, lister.listing.parent_path(), lister.environment,
              lister.output);
  const Ending ending = child.Wait(child.started() + kLimit);
  if (!ending.Succeeded()) {
    std::printf("  %s ended with %s (see %s)\n", lister.name.c_str(),
                ending.Describe().c_str(), lister.output.c_str());
    return std::nullopt;
  }
  return ending;
}

// What the rounds over one tree measured.
struct Rounds {
  std::vector<Times> times;  // one for each lister, in the order given
  int64_t cmd_peak_kib = 0;  // trovane-cmd's largest, over every run
};

// `kRounds` rounds of each lister in turn after a run of each that warms
// the caches (none when `cold`: then the page cache is dropped before each
// run). `after_round`, when given, runs after each round.
std::optional<Rounds> RunRounds(const std::vector<const Lister*>& listers,
                                bool cold,
                                const std::function<void()>& after_round) {
  Rounds rounds;
  rounds.times.resize(listers.size());
  for (int round = cold ? 0 : -1; round < kRounds; ++round) {
    for (size_t i = 0; i < listers.size(); ++i) {
      if (cold && !DropPageCache()) {
        std::printf("  the page cache could not be dropped\n");
        return std::nullopt;
      }
      const std::optional<Ending> ending = ListOnce(*listers[i]);
      if (!ending) return std::nullopt;
      if (listers[i]->trovane_cmd) {
        rounds.cmd_peak_kib = std::max(rounds.cmd_peak_kib, ending->peak_kib);
      }
      if (round < 0) continue;  // the warming run
      rounds.times[i].seconds.push_back(ending->seconds);
      rounds.times[i].cpu_seconds.push_back(ending->cpu_seconds);
    }
    if (after_round) after_round();
  }
  return rounds;
}

void PrintTimes(const char* title, const std::vector<const Lister*>& listers,
                const Rounds& rounds) {
  std::printf("  %s, median of %d rounds\n", title, kRounds);
  std::printf("    %-24s %10s %10s\n", "", "wall", "CPU");
  for (size_t i = 0; i < listers.size(); ++i) {
    std::printf("    %-24s %8.3f s %8.3f s\n", listers[i]->name.c_str(),
                Median(rounds.times[i].seconds),
                Median(rounds.times[i].cpu_seconds));
  }
}

double MedianRatio(const Rounds& rounds, size_t of, size_t to) {
  return Median(rounds.times[of].seconds) / Median(rounds.times[to].seconds);
}

std::string Ratio(double ratio) { return Formatted("%.2f", ratio); }

std::string AtMost(double goal) { return "at most " + Ratio(goal); }

// The entry counts of the last listings; false when trovane-cmd's is not
// `expected` (0: any count), which makes every figure meaningless.
bool PrintCounts(const Listers& listers, int64_t expected) {
  const int64_t cmd = CountLines(listers.fresh.listing);
  std::printf(
      "  entries: trovane-cmd %s, find %s (it counts the root), "
      "fdfind -u %s\n",
      WithCommas(cmd).c_str(),
      WithCommas(CountLines(listers.find.listing)).c_str(),
      WithCommas(CountLines(listers.fd.listing)).c_str());
  if (expected > 0 && cmd != expected) {
    std::printf("  trovane-cmd listed %s entries, not %s\n",
                WithCommas(cmd).c_str(), WithCommas(expected).c_str());
    return false;
  }
  return true;
}

// The repeat's disk map against the fresh one; false, said so, when their
// bytes differ.
bool RepeatMatchesFresh(const Listers& listers, std::string* figure) {
  const std::optional<int64_t> difference =
      FirstDifference(listers.repeat.listing, listers.fresh.listing);
  if (!difference) {
    *figure = "byte-equal";
    return true;
  }
  *figure = "differs at byte " + WithCommas(*difference);
  std::printf("  the repeat's disk map %s from the fresh one's (%s, %s)\n",
              figure->c_str(), listers.repeat.listing.c_str(),
              listers.fresh.listing.c_str());
  return false;
}

// The floor against find, and what the warm goal leaves above it for all
// that a listing does beyond reading the folders.
void PrintFloor(const Lister& floor, double floor_find) {
  int64_t entries = 0;
  int threads = 0;
  std::ifstream(floor.listing) >> entries >> threads;
  std::printf(
      "    the floor (%d threads reading every folder, %s entries, nothing "
      "kept or written) / find: %.2f; the warm goal of %.2f leaves %.2f for "
      "the names' order, the lines and the writing\n",
      threads, WithCommas(entries).c_str(), floor_find, kWarmGoal,
      kWarmGoal - floor_find);
}

// The size of the index the repeat keeps beside its disk map.
void PrintIndexSize(const Lister& repeat) {
  std::error_code error;
  const uintmax_t size = fs::file_size(IndexBeside(repeat.listing), error);
  std::printf(
      "  the repeat's index: %s\n",
      error ? "none"
            : (WithCommas(static_cast<int64_t>(size)) + " bytes").c_str());
}

bool MillionEntryTree(const std::string& tree, const fs::path& work) {
  const Listers listers = MakeListers(tree, work / "million");
  std::printf("synthetic tree of %s entries (%s)\n",
              WithCommas(kTreeEntries).c_str(), tree.c_str());
  std::string same_bytes = "not compared";
  bool equal = true;
  const std::vector<const Lister*> warm_listers = {
      &listers.fresh, &listers.repeat, &listers.find, &listers.fd,
      &listers.floor};
  const std::optional<Rounds> warm = RunRounds(
      warm_listers, /*cold=*/false,
      [&] { equal = equal && RepeatMatchesFresh(listers, &same_bytes); });
  if (!warm || !PrintCounts(listers, kTreeEntries)) return false;
  PrintTimes("warm", warm_listers, *warm);
  PrintIndexSize(listers.repeat);
  const double warm_find = MedianRatio(*warm, 0, 2);
  const double repeat_find = MedianRatio(*warm, 1, 2);
  std::printf("    trovane-cmd / fdfind -u: %.2f\n", MedianRatio(*warm, 0, 3));
  PrintFloor(listers.floor, MedianRatio(*warm, 4, 2));
  PrintGoal("warm listing: trovane-cmd / find", Ratio(warm_find),
            AtMost(kWarmGoal), Verdict(warm_find <= kWarmGoal));
  PrintGoal("repeat listing: trovane-cmd / find", Ratio(repeat_find),
            AtMost(kRepeatGoal), Verdict(repeat_find <= kRepeatGoal));
  PrintGoal("repeat listing: its disk map", same_bytes,
            "a fresh listing's bytes", Verdict(equal));

  int64_t cmd_peak_kib = warm->cmd_peak_kib;
  const std::vector<const Lister*> cold_listers = {&listers.fresh,
                                                   &listers.find, &listers.fd};
  if (!DropPageCache()) {
    std::printf(
        "  cold: skipped, the page cache could not be dropped (that needs "
        "root; this is user %d)\n",
        static_cast<int>(geteuid()));
    PrintGoal("cold listing: trovane-cmd / find", "not root",
              AtMost(kColdFindGoal), kSkipped);
    PrintGoal("cold listing: trovane-cmd / fdfind -u", "not root",
              AtMost(kColdFdGoal), kSkipped);
  } else {
    const std::optional<Rounds> cold =
        RunRounds(cold_listers, /*cold=*/true, {});
    if (!cold) return false;
    PrintTimes("cold, the page cache dropped before each run", cold_listers,
               *cold);
    cmd_peak_kib = std::max(cmd_peak_kib, cold->cmd_peak_kib);
    const double cold_find = MedianRatio(*cold, 0, 1);
    const double cold_fd = MedianRatio(*cold, 0, 2);
    PrintGoal("cold listing: trovane-cmd / find", Ratio(cold_find),
              AtMost(kColdFindGoal), Verdict(cold_find <= kColdFindGoal));
    PrintGoal("cold listing: trovane-cmd / fdfind -u", Ratio(cold_fd),
              AtMost(kColdFdGoal), Verdict(cold_fd <= kColdFdGoal));
  }
  const double peak_mib = Mebibytes(cmd_peak_kib);
  PrintGoal("peak memory: trovane-cmd", Formatted("%.1f MiB", peak_mib),
            Formatted("at most %.0f MiB", kMemoryGoalMib),
            Verdict(peak_mib <= kMemoryGoalMib));
  return true;
}

bool SystemFolder(const fs::path& work) {
  const Listers listers = MakeListers("/usr", work / "usr");
  std::printf("system folder (/usr)\n");
  const std::vector<const Lister*> warm_listers = {&listers.fresh,
                                                   &listers.find, &listers.fd};
  const std::optional<Rounds> warm =
      RunRounds(warm_listers, /*cold=*/false, {});
  if (!warm || !PrintCounts(listers, 0)) return false;
  PrintTimes("warm", warm_listers, *warm);
  std::printf("    trovane-cmd / find: %.2f, trovane-cmd / fdfind -u: %.2f\n",
              MedianRatio(*warm, 0, 1), MedianRatio(*warm, 0, 2));
  return true;
}

int Main(int argc, char** argv) {
  const std::string tree = argc > 1 ? argv[1] : TROVANE_BENCH_TREE;
  const fs::path work = argc > 1 ? tree + "-work" : TROVANE_BENCH_LISTING;
  std::error_code error;
  fs::create_directories(work / "million", error);
  fs::create_directories(work / "usr", error);
  if (!EnsureTree(tree) || error) {
    std::printf("cannot make %s or %s\n", tree.c_str(), work.c_str());
    return 1;
  }
  if (!MillionEntryTree(tree, work) || !SystemFolder(work)) return 1;
  std::printf("  load average at the end: %s\n", LoadAverage().c_str());
  return 0;
}

}  // namespace
}  // namespace trovane::bench

int main(int argc, char** argv) { return trovane::bench::Main(argc, argv); }
