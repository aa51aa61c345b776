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
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr int kRuns = 5;
constexpr int kFolders = 40;
constexpr int kSubfolders = 50;
constexpr int kFiles = 99;  // 40 + 2,000 folders and 198,000 files
constexpr int kWanted = 200;
constexpr int kPresent = 190;

void Write(const fs::path& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << content;
}

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
        if (build) Write(sub / name, "");
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
  if (build) Write(drive / ".complete", "");
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

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  const fs::path base = argc > 1 ? argv[1] : TROVANE_BENCH_RUN;
  const fs::path drive = base / "drive";
  fs::create_directories(drive);
  const std::string wanted = EnsureDrive(drive);
  const fs::path run = drive / "Run";
  fs::create_directories(run);
  fs::create_directories(drive / "Temp");
  for (const char* program : {TROVANE_SETUP_PATH, TROVANE_CMD_PATH}) {
    fs::copy_file(program, run / fs::path(program).filename(),
                  fs::copy_options::overwrite_existing);
  }

  std::vector<double> totals;
  std::map<std::string, std::vector<double>> parts;
  for (int i = 0; i < kRuns; ++i) {
    Write(run / "FileList.txt", wanted);
    Write(run / "MustExist.txt", "");
    fs::remove(drive / "Trovane");
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
      if (chdir(run.c_str()) != 0) _exit(126);
      const std::string drive_c = "VEK_DRIVE_C=" + drive.string();
      const std::string temp = "TEMP=" + (drive / "Temp").string();
      char* const environment[] = {
          const_cast<char*>(drive_c.c_str()), const_cast<char*>(temp.c_str()),
          const_cast<char*>("TROVANE_UI=quiet"), nullptr};
      char* const arguments[] = {const_cast<char*>("./trovane-setup"), nullptr};
      execve("./trovane-setup", arguments, environment);
      _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    totals.push_back(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start)
            .count());
    std::map<std::string, double> t = LogTimes(run / "Trovane.Log");
    parts["start-up and analysis"].push_back(t["Executing batch"] -
                                             t["Cleanup"]);
    parts["listing (batch and wait)"].push_back(t["About to begin search"] -
                                                t["Executing batch"]);
    parts["disk map scan"].push_back(t["Done"] - t["About to begin search"]);
    parts["double-check and report"].push_back(t["About to exit"] -
                                               t["Doubble-checking:"]);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      std::printf("the run ended with status %d\n", WEXITSTATUS(status));
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
