// How fast trovane-cmd writes a disk map, next to find(1) listing the same
// tree into a file. Two trees: a synthetic one of a million entries, made
// once and kept under the build folder, and /usr, only read.
//
// Usage: listing_bench [TREE_FOLDER]
//
// Prints per tree: the entry counts, the median wall time of each over
// alternating runs, their ratio, and the interpreter's peak memory.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int kRepetitions = 5;

// Three levels of 16 folders each make 4,368 folders; the files fill the
// deepest ones up to a million entries in all.
constexpr int kFoldersPerLevel = 16;
constexpr int kEntries = 1'000'000;

constexpr std::array<const char*, 12> kFolderWords = {
    "Program Files", "lib",    "Data", "Music & Video", "Setup", "cache",
    "Users",         "Shared", "TEMP", "[old] stuff",   "_work", "Games"};
constexpr std::array<const char*, 14> kFileWords = {
    "Report", "setup",  "Data File", "readme", "IMG", "track 01",      "Notes",
    "a",      "ZZ top", "_private",  "Budget", "x",   "Letter to Ann", "log"};
constexpr std::array<const char*, 10> kExtensions = {
    ".txt", ".EXE", ".dll", ".jpg", ".Mp3", ".ini", ".doc", "", ".Bat", ".h"};

struct Run {
  double seconds;
  double cpu_seconds;  // user and system time together
  int64_t peak_kib;
};

bool MakeFolder(const std::string& path) {
  return mkdir(path.c_str(), 0755) == 0 || errno == EEXIST;
}

// Builds the synthetic tree under `root` unless a finished one is there.
bool EnsureTree(const std::string& root) {
  const std::string stamp = root + ".complete";
  if (access(stamp.c_str(), F_OK) == 0) {
    return true;
  }
  std::printf("building %s (once) ...\n", root.c_str());
  std::fflush(stdout);
  if (!MakeFolder(root)) {
    return false;
  }
  std::vector<std::string> leaves;
  int folders = 0;
  std::vector<std::string> level = {root};
  for (int depth = 0; depth < 3; ++depth) {
    std::vector<std::string> next;
    for (const std::string& parent : level) {
      for (int i = 0; i < kFoldersPerLevel; ++i) {
        const std::string path =
            parent + "/" + kFolderWords[(i + depth) % kFolderWords.size()] +
            " " + std::to_string(i);
        if (!MakeFolder(path)) {
          return false;
        }
        next.push_back(path);
        ++folders;
      }
    }
    level = std::move(next);
  }
  leaves = std::move(level);
  const int files = kEntries - folders;
  unsigned seed = 12345;
  for (int n = 0; n < files; ++n) {
    seed = seed * 1103515245U + 12345U;
    const std::string name =
        std::string(kFileWords[(seed >> 8) % kFileWords.size()]) + " " +
        std::to_string(n) + kExtensions[(seed >> 16) % kExtensions.size()];
    const std::string path = leaves[n % leaves.size()] + "/" + name;
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
      return false;
    }
    close(fd);
  }
  std::ofstream(stamp) << kEntries << "\n";
  return true;
}

// Runs `argv` with its standard output on `output` and the given extra
// environment; its wall time and peak memory.
Run Time(const std::vector<std::string>& argv, const std::string& output,
         const std::vector<std::string>& extra_environment) {
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    const int fd = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) {
      _exit(127);
    }
    dup2(fd, STDOUT_FILENO);
    close(fd);
    for (const std::string& setting : extra_environment) {
      putenv(const_cast<char*>(setting.c_str()));
    }
    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (const std::string& arg : argv) {
      args.push_back(const_cast<char*>(arg.c_str()));
    }
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  const std::chrono::duration<double> elapsed =
      std::chrono::steady_clock::now() - start;
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "%s failed\n", argv[0].c_str());
    std::exit(1);
  }
  const double cpu_seconds =
      static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
      static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) /
          1e6;
  return Run{elapsed.count(), cpu_seconds, usage.ru_maxrss};
}

int64_t CountLines(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::count(std::istreambuf_iterator<char>(in),
                    std::istreambuf_iterator<char>(), '\n');
}

// The machine's load, since other work on it skews the wall times.
std::string LoadAverage() {
  std::ifstream in("/proc/loadavg");
  std::string line;
  std::getline(in, line);
  return line + "\n";
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// Lists `tree` (a Linux folder) with both programs, alternating.
void Compare(const std::string& title, const std::string& tree,
             const std::string& work) {
  const std::string batch = work + "/Map.bat";
  const std::string map = work + "/Trovane.txt";
  const std::string found = work + "/find.txt";
  // Drive C is the work folder; the tree is reached through Z:, which
  // stands for "/".
  std::string tree_in_drive_form = "Z:";
  for (char c : tree) {
    tree_in_drive_form.push_back(c == '/' ? '\\' : c);
  }
  std::ofstream(batch, std::ios::binary)
      << "@Echo off\r\nDir " << tree_in_drive_form
      << "\\* /s /b > C:\\Trovane.txt\r\n";
  const std::vector<std::string> cmd = {TROVANE_CMD_PATH, batch};
  const std::vector<std::string> find = {"find", tree};
  const std::vector<std::string> environment = {"VEK_DRIVE_C=" + work};

  Time(cmd, "/dev/null", environment);  // warm the caches
  Time(find, found, {});
  std::vector<double> cmd_seconds;
  std::vector<double> cmd_cpu_seconds;
  std::vector<double> find_seconds;
  std::vector<double> find_cpu_seconds;
  int64_t peak_kib = 0;
  for (int i = 0; i < kRepetitions; ++i) {
    const Run cmd_run = Time(cmd, "/dev/null", environment);
    cmd_seconds.push_back(cmd_run.seconds);
    cmd_cpu_seconds.push_back(cmd_run.cpu_seconds);
    peak_kib = std::max(peak_kib, cmd_run.peak_kib);
    const Run find_run = Time(find, found, {});
    find_seconds.push_back(find_run.seconds);
    find_cpu_seconds.push_back(find_run.cpu_seconds);
  }
  const double cmd_median = Median(cmd_seconds);
  const double find_median = Median(find_seconds);
  std::printf("%s (%s)\n", title.c_str(), tree.c_str());
  std::printf("  entries: trovane-cmd %" PRId64 ", find %" PRId64
              " (find counts the root)\n",
              CountLines(map), CountLines(found));
  std::printf("  median of %d: trovane-cmd %.3f s, find %.3f s, ratio %.2f\n",
              kRepetitions, cmd_median, find_median, cmd_median / find_median);
  std::printf(
      "  median CPU time (user + system): trovane-cmd %.3f s, "
      "find %.3f s\n",
      Median(cmd_cpu_seconds), Median(find_cpu_seconds));
  std::printf("  load average at the end: %s", LoadAverage().c_str());
  std::printf("  trovane-cmd peak memory: %.1f MiB\n",
              static_cast<double>(peak_kib) / 1024.0);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string tree = argc > 1 ? argv[1] : TROVANE_BENCH_TREE;
  const std::string work = tree + "-work";
  if (!EnsureTree(tree) || !MakeFolder(work)) {
    std::fprintf(stderr, "cannot make %s\n", tree.c_str());
    return 1;
  }
  Compare("synthetic tree of 1,000,000 entries", tree, work);
  Compare("system folder", "/usr", work);
  return 0;
}
