// A whole run of the program in a sandbox: 200 wanted entries over a tree
// of 200,000 entries, the databank empty at the start, so every entry goes
// through the scan batch, the disk map scan and the double-check.
//
// Usage: run_bench [WORK_FOLDER]
//
// Prints the median wall time of the whole run over a few runs and how it
// splits between its phases (RunSplit).
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/bench_support.h"

namespace trovane::bench {
namespace {

namespace fs = std::filesystem;

constexpr int kRuns = 5;
constexpr int kFolders = 40;
constexpr int kSubfolders = 50;
constexpr int kFiles = 99;  // 40 + 2,000 folders and 198,000 files
constexpr int kWanted = 200;
constexpr int kPresent = 190;

// Builds the drive once; returns the wanted list.
std::string EnsureDrive(const fs::path& drive) {
  std::string wanted;
  int found = 0;
  const bool build = !fs::exists(drive / ".complete");
  if (build) std::printf("building %s (once) ...\n", drive.c_str());
  for (int f = 0; f < kFolders; ++f) {
    const fs::path folder = drive / ("Vendor " + std::to_string(f));
    for (int s = 0; s < kSubfolders; ++s) {
      const fs::path sub = folder / ("Part" + std::to_string(s));
      if (build) fs::create_directories(sub);
      for (int i = 0; i < kFiles; ++i) {
        const std::string name = "File_" + std::to_string(f) + "_" +
                                 std::to_string(s) + "_" + std::to_string(i) +
                                 (i % 3 == 0 ? ".EXE" : ".dat");
        if (build) WriteFile(sub / name, "");
        if (found < kPresent && (f * kSubfolders + s) % 10 == 0 && i == 7) {
          wanted += "Found" + std::to_string(found++) + "=" + name + "\r\n";
        }
      }
    }
  }
  for (int i = found; i < kWanted; ++i) {
    wanted += "Missing" + std::to_string(i) + "=nowhere_" + std::to_string(i) +
              ".dll\r\n";
  }
  if (build) WriteFile(drive / ".complete", "");
  return wanted;
}

int Main(int argc, char** argv) {
  const fs::path base = argc > 1 ? argv[1] : TROVANE_BENCH_FOLDER;
  const fs::path drive = base / "drive";
  fs::create_directories(drive);
  const std::string wanted = EnsureDrive(drive);
  const Sandbox sandbox(drive, TROVANE_SETUP_PATH, TROVANE_CMD_PATH);

  std::vector<double> totals;
  RunSplit split;
  for (int i = 0; i < kRuns; ++i) {
    WriteFile(sandbox.run() / "FileList.txt", wanted);
    WriteFile(sandbox.run() / "MustExist.txt", "");
    fs::remove(sandbox.databank());
    Child setup = Child::StartSetup(sandbox);
    const Ending ending = setup.Wait(SteadyClock::time_point::max());
    totals.push_back(ending.seconds);
    split.Add(sandbox.activity_log());
    if (!ending.Succeeded()) {
      std::printf("the run ended with %s\n", ending.Describe().c_str());
      return 1;
    }
  }
  std::printf("whole run: %d wanted entries (%d present) over %d entries\n",
              kWanted, kPresent, kFolders * (1 + kSubfolders * (1 + kFiles)));
  std::printf("  total median                 %.3f s\n", Median(totals));
  split.Print(2);
  return 0;
}

}  // namespace
}  // namespace trovane::bench

int main(int argc, char** argv) { return trovane::bench::Main(argc, argv); }
