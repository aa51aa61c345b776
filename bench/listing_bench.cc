// How fast trovane-cmd writes a disk map, next to find(1) listing the same
// tree into a file. Two trees: a synthetic one of a million entries, made
// once and kept under the build folder in the drive of whole_run_bench,
// which lists it too, and /usr, only read.
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
#include <cerrno>
#include <chrono>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "bench/bench_support.h"

namespace trovane::bench {
namespace {

constexpr int kRepetitions = 5;

struct Run {
  double seconds;
  double cpu_seconds;  // user and system time together
  int64_t peak_kib;
};

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
  std::printf("  load average at the end: %s\n", LoadAverage().c_str());
  std::printf("  trovane-cmd peak memory: %.1f MiB\n",
              static_cast<double>(peak_kib) / 1024.0);
}

int Main(int argc, char** argv) {
  const std::string tree = argc > 1 ? argv[1] : TROVANE_BENCH_TREE;
  const std::string work = argc > 1 ? tree + "-work" : TROVANE_BENCH_LISTING;
  if (!EnsureTree(tree) ||
      (mkdir(work.c_str(), 0755) != 0 && errno != EEXIST)) {
    std::fprintf(stderr, "cannot make %s\n", tree.c_str());
    return 1;
  }
  Compare("synthetic tree of 1,000,000 entries", tree, work);
  Compare("system folder", "/usr", work);
  return 0;
}

}  // namespace
}  // namespace trovane::bench

int main(int argc, char** argv) { return trovane::bench::Main(argc, argv); }
