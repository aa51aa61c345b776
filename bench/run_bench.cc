// A whole run of the program in a sandbox: 200 wanted entries over a tree
// of 200,000 entries, the databank empty at the start, so every entry goes
// through the scan batch, the disk map scan and the double-check.
//
// Usage: run_bench [WORK_FOLDER]
//
// Prints the median wall time of the whole run over a few runs and, from
// the activity log's time stamps (which tick in steps of 1/128 s), how it
// splits between start-up and analysis, the listing (batch start to search
// start, the wait included), the disk map scan and the double-check.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
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

// Seconds since midnight of each activity-log message, first occurrence.
std::map<std::string, double> LogTimes(const fs::path& log) {
  std::map<std::string, double> times;
  std::ifstream in(log, std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    const size_t bar = line.find("| ");
    if (bar == std::string::npos || line.size() < 19) continue;
    std::string message = line.substr(bar + 2);
    if (!message.empty() && message.back() == '\r') message.pop_back();
    const double seconds = std::stoi(line.substr(11, 2)) * 3600.0 +
                           std::stoi(line.substr(14, 2)) * 60.0 +
                           std::stod(line.substr(17, bar - 17));
    times.emplace(message, seconds);
  }
  return times;
}

int Main(int argc, char** argv) {
  const fs::path base = argc > 1 ? argv[1] : TROVANE_BENCH_FOLDER;
  const fs::path drive = base / "drive";
  fs::create_directories(drive);
  const std::string wanted = EnsureDrive(drive);
  const Sandbox sandbox(drive, TROVANE_SETUP_PATH, TROVANE_CMD_PATH);

  std::vector<double> totals;
  std::map<std::string, std::vector<double>> parts;
  for (int i = 0; i < kRuns; ++i) {
    WriteFile(sandbox.run() / "FileList.txt", wanted);
    WriteFile(sandbox.run() / "MustExist.txt", "");
    fs::remove(sandbox.databank());
    Child setup = Child::StartSetup(sandbox);
    const Ending ending = setup.Wait(SteadyClock::time_point::max());
    totals.push_back(ending.seconds);
    std::map<std::string, double> t = LogTimes(sandbox.activity_log());
    parts["start-up and analysis"].push_back(t["Executing batch"] -
                                             t["Cleanup"]);
    parts["listing (batch and wait)"].push_back(t["About to begin search"] -
                                                t["Executing batch"]);
    parts["disk map scan"].push_back(t["Done"] - t["About to begin search"]);
    parts["double-check and report"].push_back(t["About to exit"] -
                                               t["Doubble-checking:"]);
    if (!ending.Succeeded()) {
      std::printf("the run ended with %s\n", ending.Describe().c_str());
      return 1;
    }
  }
  std::printf("whole run: %d wanted entries (%d present) over %d entries\n",
              kWanted, kPresent, kFolders * (1 + kSubfolders * (1 + kFiles)));
  std::printf("  total median                 %.3f s\n", Median(totals));
  for (const auto& [name, values] : parts) {
    std::printf("  %-28s %.3f s\n", name.c_str(), Median(values));
  }
  return 0;
}

}  // namespace
}  // namespace trovane::bench

int main(int argc, char** argv) { return trovane::bench::Main(argc, argv); }
