// How fast the disk map scan reads a disk map, next to the read floor:
// `grep -c ''` counting the lines of the same file. The disk map holds a
// million paths and the wanted list a thousand entries, about fifty of
// them present, so the scan reads the whole map.
//
// Usage: scan_bench [WORK_FOLDER]
//
// Prints the median wall time of each over alternating runs, their ratio,
// and the scan's peak memory beside that of a scan of a map a tenth the
// size (flat memory: the two stay close).
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "databank/data.h"
#include "platform/clock.h"
#include "platform/environment.h"
#include "platform/file_numbers.h"
#include "platform/linux/linux_file_system.h"
#include "platform/process.h"
#include "search/disk_map_scan.h"
#include "shell/window.h"

namespace trovane {
namespace {

constexpr int kRepetitions = 7;
constexpr int kWanted = 1000;
constexpr int kPresent = 50;

// Shows nothing; a benchmark has no window.
class NoFrontEnd : public FrontEnd {
 public:
  void Show(Window&) override {}
  void Run() override {}
  void ProcessPendingEvents() override {}
  void MessageBox(std::string_view, std::string_view,
                  const std::vector<std::string>&) override {}
  void ReportFailure(std::string_view) override {}
  void ShowSummary(const RunSummary&) override {}
  void Close() override {}
};

class NoPasses : public WindowPasses {
 public:
  void AnalysisPass(Window&) override {}
  void SearchPass(Window&) override {}
};

class FixedEnvironment : public Environment {
 public:
  explicit FixedEnvironment(std::string folder) : folder_(std::move(folder)) {}
  std::string Get(std::string_view name) const override {
    return name == "TEMP" ? folder_ : std::string();
  }
  bool Has(std::string_view name) const override { return name == "TEMP"; }
  std::string ExecutableFolder() const override { return folder_; }
  std::string CurrentFolder() const override { return folder_; }
  // The run and the temporary folder are the root of drive C.
  std::string ToDriveForm(std::string_view /*path*/) const override {
    return "C:\\";
  }
  std::string RunFolder() const override { return "C:\\"; }

 private:
  std::string folder_;
};

std::string Path(std::mt19937& random, int index) {
  static const char* const kFolders[] = {
      "Program Files", "Users\\Shared", "Games", "VEK Data", "lib", "TEMP"};
  static const char* const kExtensions[] = {".EXE", ".dll", ".txt", ".Ini",
                                            ".dat", ".jpg", ".h",   ""};
  std::string path = "C:\\";
  path += kFolders[random() % 6];
  path += "\\Vendor " + std::to_string(random() % 500);
  path += "\\Sub" + std::to_string(random() % 50) + "\\";
  path += "File_" + std::to_string(index);
  path += kExtensions[random() % 8];
  return path;
}

// Writes a disk map of `paths` lines and the matching wanted list; keeps
// the ones already there.
void EnsureInput(const std::string& folder, int paths,
                 std::vector<std::string>* wanted) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> pick(0, paths - 1);
  std::vector<int> present(kPresent);
  for (int& line : present) line = pick(random);
  std::sort(present.begin(), present.end());
  const std::string map = folder + "/Trovane.txt";
  std::ifstream existing(map);
  const bool have = existing.good();
  std::ofstream out;
  if (!have) out.open(map, std::ios::binary);
  size_t next = 0;
  for (int i = 0; i < paths; ++i) {
    const std::string path = Path(random, i);
    if (!have) out << path << "\r\n";
    while (next < present.size() && present[next] == i) {
      const std::string name = path.substr(path.rfind('\\') + 1);
      std::string lower;
      for (char c : name) lower.push_back(static_cast<char>(std::tolower(c)));
      wanted->push_back("Found" + std::to_string(next) + "=" + lower);
      ++next;
    }
  }
  for (int i = static_cast<int>(wanted->size()); i < kWanted; ++i) {
    wanted->push_back("Missing" + std::to_string(i) + "=missing_" +
                      std::to_string(i) + ".dll");
  }
}

struct Sample {
  double seconds;
  int64_t peak_kib;
};

// Runs one scan in a child process, for its own peak memory.
Sample ScanOnce(const std::string& folder,
                const std::vector<std::string>& wanted) {
  int report[2];
  if (pipe(report) != 0) return {0, 0};
  const pid_t child = fork();
  if (child == 0) {
    FixedEnvironment environment(folder);
    DriveMap drives;
    drives.Map('C', folder);
    LinuxFileSystem files(PathView(drives, folder));
    SystemClock clock;
    Data data(files, FileNumbers::Process(), clock, environment);
    data.OpenDatabankAccess();
    files.Delete("C:\\Trovane");
    NoFrontEnd front_end;
    NoPasses passes;
    const std::unique_ptr<ProcessLauncher> launcher =
        MakeProcessLauncher(environment);
    Window window(
        {files, clock, data, FileNumbers::Process(), *launcher, "", [](int) {}},
        passes, front_end);
    for (const std::string& item : wanted) window.FileList().AddItem(item);
    const auto start = std::chrono::steady_clock::now();
    ScanDiskMap(window);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start)
            .count();
    const bool all_found = window.FileList().ListCount() == kWanted - kPresent;
    const double result = all_found ? seconds : -1.0;
    (void)!write(report[1], &result, sizeof result);
    _exit(0);
  }
  close(report[1]);
  double seconds = 0;
  (void)!read(report[0], &seconds, sizeof seconds);
  close(report[0]);
  int status = 0;
  rusage usage{};
  wait4(child, &status, 0, &usage);
  return {seconds, usage.ru_maxrss};
}

double GrepOnce(const std::string& folder) {
  const std::string command =
      "grep -c '' '" + folder + "/Trovane.txt' > '" + folder + "/count.txt'";
  const auto start = std::chrono::steady_clock::now();
  if (std::system(command.c_str()) != 0) return -1.0;
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start)
      .count();
}

int Main(int argc, char** argv) {
  const std::string base = argc > 1 ? argv[1] : TROVANE_BENCH_SCAN;
  const std::string big = base + "/million";
  const std::string small = base + "/hundred-thousand";
  std::system(("mkdir -p '" + big + "' '" + small + "'").c_str());
  std::vector<std::string> wanted_big;
  std::vector<std::string> wanted_small;
  EnsureInput(big, 1'000'000, &wanted_big);
  EnsureInput(small, 100'000, &wanted_small);

  std::vector<double> scans;
  std::vector<double> greps;
  int64_t peak_big = 0;
  for (int i = 0; i < kRepetitions; ++i) {
    const Sample sample = ScanOnce(big, wanted_big);
    if (sample.seconds < 0) {
      std::printf("the scan missed wanted entries\n");
      return 1;
    }
    scans.push_back(sample.seconds);
    peak_big = std::max(peak_big, sample.peak_kib);
    greps.push_back(GrepOnce(big));
  }
  const int64_t peak_small = ScanOnce(small, wanted_small).peak_kib;
  const double scan = bench::Median(scans);
  const double floor = bench::Median(greps);
  std::printf(
      "disk map scan: 1,000,000 paths, %d wanted entries (%d present)\n",
      kWanted, kPresent);
  std::printf("  scan median       %.4f s\n", scan);
  std::printf("  grep -c '' median %.4f s (the read floor)\n", floor);
  std::printf("  ratio             %.2f\n", scan / floor);
  std::printf("  peak memory       %" PRId64
              " KiB (a tenth of the map: %" PRId64 " KiB)\n",
              peak_big, peak_small);
  return 0;
}

}  // namespace
}  // namespace trovane

int main(int argc, char** argv) { return trovane::Main(argc, argv); }
