// What the benchmarks share: sandbox drives and the synthetic trees on them,
// starting the programs and timing them by the benchmark's own clock,
// following the activity log while a run goes on, and the goal lines that
// `make bench` gathers into its summary.
#ifndef TROVANE_BENCH_BENCH_SUPPORT_H_
#define TROVANE_BENCH_BENCH_SUPPORT_H_

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace trovane::bench {

using SteadyClock = std::chrono::steady_clock;

double SecondsBetween(SteadyClock::time_point from, SteadyClock::time_point to);
double Median(std::vector<double> values);
// 1234567 as "1,234,567".
std::string WithCommas(int64_t number);
// What std::printf would print, as a string: the figures of goal lines.
std::string Formatted(const char* format, ...)
    __attribute__((format(printf, 1, 2)));
// A size that ru_maxrss gives in KiB, in MiB.
double Mebibytes(int64_t kib);
// "met" or "MISSED", for the goal column.
const char* Verdict(bool met);
// The verdict of a figure that must stay at most `goal`; one that is only a
// lower bound (`exact` false) misses the goal when it misses it already, and
// is otherwise not measured.
const char* VerdictAtMost(double figure, double goal, bool exact);
inline constexpr const char* kNotMeasured = "not measured";
inline constexpr const char* kSkipped = "skipped";
// The machine's load, since other work on it skews the wall times.
std::string LoadAverage();

// Prints one goal line, `goal | WHAT | FIGURE | GOAL | VERDICT | load L`
// with L the one-minute load average now: bench/run-all gathers the lines
// of every benchmark into the summary table, so each goal is printed once,
// by the benchmark that measures it, in this one format.
void PrintGoal(std::string_view what, std::string_view figure,
               std::string_view goal, std::string_view verdict);

void WriteFile(const std::filesystem::path& path, std::string_view content);
// The number of line feeds in the file.
int64_t CountLines(const std::filesystem::path& path);
// The number of the file's lines that hold `text`.
int64_t CountLinesWith(const std::filesystem::path& path,
                       std::string_view text);
// The index a listing keeps beside the disk map `disk_map`, for the next
// listing of the same folder to it.
std::filesystem::path IndexBeside(const std::filesystem::path& disk_map);
// Where the two files' bytes first differ (the shorter one's size when it
// is the other's beginning); nullopt when they are the same bytes.
std::optional<int64_t> FirstDifference(const std::filesystem::path& a,
                                       const std::filesystem::path& b);
// The program's path in a folder of PATH; empty when it is in none.
std::string FindOnPath(std::string_view program);
// Writes what is cached to disk and drops the clean page cache, dentries
// and inodes, so that the next run reads from the disk; false when that is
// not allowed (dropping the cache needs root).
bool DropPageCache();

// A drive for one run: the folder that drive C stands for, holding the
// program's folder Run, the temporary folder Temp and the databank.
class Sandbox {
 public:
  // Makes Run and Temp under `drive` and copies the program into Run, and
  // the interpreter beside it unless `interpreter` is empty.
  Sandbox(std::filesystem::path drive, const std::string& program,
          const std::string& interpreter);

  const std::filesystem::path& drive() const { return drive_; }
  std::filesystem::path run() const { return drive_ / "Run"; }
  std::filesystem::path temp() const { return drive_ / "Temp"; }
  std::filesystem::path databank() const { return drive_ / "Trovane"; }
  std::filesystem::path activity_log() const { return run() / "Trovane.Log"; }
  // Where the program's standard output and error go: beside the drive.
  std::filesystem::path output() const;
  // The environment of a run: drive C, the temporary folder, no window.
  std::vector<std::string> Environment() const;

  // Writes the input of a run: the wanted list, an empty MustExist.txt, and
  // the databank as its two housekeeping lines followed by `entries`; the
  // activity log of the last run goes.
  void WriteRunInput(std::string_view wanted, std::string_view entries) const;

 private:
  std::filesystem::path drive_;
};

// How a child process ended.
struct Ending {
  bool stopped = false;    // killed by the benchmark
  int status = 0;          // as wait4 reports it
  double seconds = 0;      // from start to end, by the benchmark's clock
  double cpu_seconds = 0;  // user and system time together
  int64_t peak_kib = 0;    // ru_maxrss

  bool Succeeded() const;
  std::string Describe() const;
};

// A program a benchmark started; ending the benchmark kills one still
// running.
class Child {
 public:
  // Starts `argv` in `folder` with exactly `environment`; its standard
  // output and error go to `output`.
  Child(const std::vector<std::string>& argv,
        const std::filesystem::path& folder,
        const std::vector<std::string>& environment,
        const std::filesystem::path& output);
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;
  ~Child();

  // trovane-setup without arguments in the sandbox's program folder.
  static Child StartSetup(const Sandbox& sandbox);

  pid_t pid() const { return pid_; }
  // Readable once the process has ended; -1 when it could not start.
  int pidfd() const { return pidfd_; }
  SteadyClock::time_point started() const { return started_; }

  // Waits until the process ends; at `deadline` it is killed instead.
  Ending Wait(SteadyClock::time_point deadline);
  // Kills the process now, unless it has ended.
  Ending Stop();

 private:
  Ending Reap(bool stopped);

  pid_t pid_ = -1;
  int pidfd_ = -1;
  SteadyClock::time_point started_;
};

// A process's CPU time and context switches, summed over its threads, at
// one moment.
struct CpuSample {
  SteadyClock::time_point at;
  double cpu_seconds = 0;
  int64_t switches = 0;
};
// nullopt once the process is gone.
std::optional<CpuSample> SampleCpu(pid_t pid);

// Follows an activity log as a run writes it and notes, by the benchmark's
// clock, when each of the messages it looks for first appears, and how much
// CPU time the run had used by then. The log clock ticks in steps of up to
// 1/128 s; this one is as fine as the reads.
class LogWatcher {
 public:
  // `pause` spaces the reads of a log that grows fast, to bound what the
  // watching costs; the times are then as much as one pause late.
  LogWatcher(std::filesystem::path log, std::vector<std::string> messages,
             std::chrono::microseconds pause);
  LogWatcher(const LogWatcher&) = delete;
  LogWatcher& operator=(const LogWatcher&) = delete;
  ~LogWatcher();

  // Waits until `message` appears, `child` ends or `deadline` passes;
  // returns when it appeared.
  std::optional<SteadyClock::time_point> WaitFor(
      std::string_view message, const Child& child,
      SteadyClock::time_point deadline);
  // When `message` appeared, if it has.
  std::optional<SteadyClock::time_point> SeenAt(std::string_view message) const;
  // The CPU time the run had used when `message` appeared, if it was seen
  // while the run went on: on a busy machine the run waits for a core, and
  // its CPU time then tells more of its own cost than its wall time does.
  std::optional<double> CpuSecondsAt(std::string_view message) const;
  // The CPU time the run used from `from`'s appearance to `to`'s, if both
  // were seen while it went on.
  std::optional<double> CpuSecondsBetween(std::string_view from,
                                          std::string_view to) const;

 private:
  struct Sighting {
    SteadyClock::time_point at;
    std::optional<double> cpu_seconds;
  };

  // Reads what the log gained since the last read, which the process `pid`
  // writes.
  void ReadNew(SteadyClock::time_point now, pid_t pid);

  std::filesystem::path log_;
  std::chrono::microseconds pause_;
  int inotify_fd_ = -1;
  off_t offset_ = 0;
  std::string partial_;  // a line not yet ended
  std::map<std::string, std::optional<Sighting>, std::less<>> seen_;
};

// How whole runs split, from the time stamps of their activity logs (which
// tick in steps of 1/128 s): start-up and analysis, the listing (batch start
// to search start, the wait included), the disk map scan, and the
// double-check and report.
class RunSplit {
 public:
  // Adds the phases of the run that wrote `log`.
  void Add(const std::filesystem::path& log);
  // Prints the median of each phase over the runs added, a line each,
  // after `indent` blanks.
  void Print(int indent) const;

 private:
  std::vector<std::vector<double>> seconds_;  // by phase, then by run
};

// The databank lines whose key begins with `prefix`.
int CountDatabankEntries(const std::filesystem::path& databank,
                         std::string_view prefix);

// The number of activity-log messages that begin with `prefix`, counted
// from the first message equal to `after`: how far a phase got.
int64_t CountMessages(const std::filesystem::path& log, std::string_view after,
                      std::string_view prefix);

// The numbered drive: `count` files Data/D012/File_012345.dat, a thousand
// to a folder, their names in mixed case. Made once, kept.
std::string NumberedFileName(int number);
// The file's path as the disk map scan records it: drive form, upper case.
std::string NumberedDrivePath(int number);
void EnsureNumberedFiles(const std::filesystem::path& drive, int count);

// The synthetic tree of a million entries: three levels of 16 folders each
// make 4,368 folders; the files fill the deepest ones.
inline constexpr int kTreeEntries = 1'000'000;
// Calls `visit` with each file's number and path, in the order of making.
void ForEachTreeFile(const std::string& root,
                     const std::function<void(int, const std::string&)>& visit);
// Builds the tree under `root` unless a finished one is there.
bool EnsureTree(const std::string& root);

}  // namespace trovane::bench

#endif  // TROVANE_BENCH_BENCH_SUPPORT_H_
