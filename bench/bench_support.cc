#include "bench/bench_support.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <thread>
#include <utility>

namespace trovane::bench {
namespace {

namespace fs = std::filesystem;

constexpr int kFilesPerFolder = 1000;
// How much of a file the line count and the comparison read at a time.
constexpr size_t kReadChunk = size_t{1} << 20;
// The longest a wait sleeps without a look at the clock, or a log watcher
// without a look at the log, should an inotify event go missing.
constexpr int kLongestPollMs = 100;

constexpr int kTreeFoldersPerLevel = 16;
constexpr int kTreeLevels = 3;
constexpr std::array<const char*, 12> kFolderWords = {
    "Program Files", "lib",    "Data", "Music & Video", "Setup", "cache",
    "Users",         "Shared", "TEMP", "[old] stuff",   "_work", "Games"};
constexpr std::array<const char*, 14> kFileWords = {
    "Report", "setup",  "Data File", "readme", "IMG", "track 01",      "Notes",
    "a",      "ZZ top", "_private",  "Budget", "x",   "Letter to Ann", "log"};
constexpr std::array<const char*, 10> kExtensions = {
    ".txt", ".EXE", ".dll", ".jpg", ".Mp3", ".ini", ".doc", "", ".Bat", ".h"};

// The message of an activity-log line: what follows "| ", without the CR.
std::string_view Message(std::string_view line) {
  const size_t bar = line.find("| ");
  if (bar == std::string_view::npos) return {};
  std::string_view message = line.substr(bar + 2);
  if (!message.empty() && message.back() == '\r') message.remove_suffix(1);
  return message;
}

// The phases RunSplit tells apart, each from the first appearance of one
// message to the first appearance of another.
struct RunPhase {
  const char* name;
  const char* from;
  const char* to;
};
constexpr std::array<RunPhase, 4> kRunPhases = {{
    {"start-up and analysis", "Cleanup", "Executing batch"},
    {"listing (batch and wait)", "Executing batch", "About to begin search"},
    {"disk map scan", "About to begin search", "Done"},
    {"double-check and report", "Doubble-checking:", "About to exit"},
}};

// Seconds since midnight of each activity-log message, first occurrence.
std::map<std::string, double, std::less<>> MessageTimes(const fs::path& log) {
  std::map<std::string, double, std::less<>> times;
  std::ifstream in(log, std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    const size_t bar = line.find("| ");
    if (bar == std::string::npos || line.size() < 19) continue;
    const double seconds = std::stoi(line.substr(11, 2)) * 3600.0 +
                           std::stoi(line.substr(14, 2)) * 60.0 +
                           std::stod(line.substr(17, bar - 17));
    times.emplace(Message(line), seconds);
  }
  return times;
}

// The first number after `label` in a /proc text file.
int64_t ProcNumber(const fs::path& file, const std::string& label) {
  std::ifstream in(file);
  std::string word;
  while (in >> word) {
    if (word == label) {
      int64_t number = 0;
      in >> number;
      return number;
    }
  }
  return 0;
}

double SecondsOf(const timeval& time) {
  return static_cast<double>(time.tv_sec) +
         static_cast<double>(time.tv_usec) / 1e6;
}

std::string ZeroPadded(int number, int width) {
  std::string text = std::to_string(number);
  if (static_cast<int>(text.size()) < width) {
    text.insert(0, static_cast<size_t>(width) - text.size(), '0');
  }
  return text;
}

std::string NumberedFolderName(int number) {
  return "D" + ZeroPadded(number / kFilesPerFolder, 3);
}

// Every folder of the tree, each level after the one above it; the last
// ones are the deepest, which hold the files.
std::vector<std::string> TreeFolders(const std::string& root) {
  std::vector<std::string> folders;
  std::vector<std::string> level = {root};
  for (int depth = 0; depth < kTreeLevels; ++depth) {
    std::vector<std::string> next;
    for (const std::string& parent : level) {
      for (int i = 0; i < kTreeFoldersPerLevel; ++i) {
        next.push_back(parent + "/" +
                       kFolderWords[(i + depth) % kFolderWords.size()] + " " +
                       std::to_string(i));
      }
    }
    folders.insert(folders.end(), next.begin(), next.end());
    level = std::move(next);
  }
  return folders;
}

}  // namespace

double SecondsBetween(SteadyClock::time_point from,
                      SteadyClock::time_point to) {
  return std::chrono::duration<double>(to - from).count();
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

std::string WithCommas(int64_t number) {
  std::string digits = std::to_string(number < 0 ? -number : number);
  for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) {
    digits.insert(static_cast<size_t>(at), ",");
  }
  return number < 0 ? "-" + digits : digits;
}

std::string Formatted(const char* format, ...) {
  std::array<char, 256> text;
  va_list arguments;
  va_start(arguments, format);
  // va_start has just set it up: the analyzer loses track of a va_list
  // passed on, some runs and not others.
  // NOLINTNEXTLINE(clang-analyzer-valist.Uninitialized)
  std::vsnprintf(text.data(), text.size(), format, arguments);
  va_end(arguments);
  return text.data();
}

double Mebibytes(int64_t kib) { return static_cast<double>(kib) / 1024.0; }

const char* Verdict(bool met) { return met ? "met" : "MISSED"; }

const char* VerdictAtMost(double figure, double goal, bool exact) {
  if (figure > goal) return Verdict(false);
  return exact ? Verdict(true) : kNotMeasured;
}

std::string LoadAverage() {
  std::ifstream in("/proc/loadavg");
  std::string line;
  std::getline(in, line);
  return line;
}

void PrintGoal(std::string_view what, std::string_view figure,
               std::string_view goal, std::string_view verdict) {
  const std::string load = LoadAverage();
  const std::string_view one_minute =
      std::string_view{load}.substr(0, load.find(' '));
  std::printf("goal | %.*s | %.*s | %.*s | %.*s | load %.*s\n",
              static_cast<int>(what.size()), what.data(),
              static_cast<int>(figure.size()), figure.data(),
              static_cast<int>(goal.size()), goal.data(),
              static_cast<int>(verdict.size()), verdict.data(),
              static_cast<int>(one_minute.size()), one_minute.data());
  std::fflush(stdout);
}

void WriteFile(const fs::path& path, std::string_view content) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
}

int64_t CountLines(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<char> buffer(kReadChunk);
  int64_t lines = 0;
  while (in.read(buffer.data(), static_cast<std::streamsize>(buffer.size())) ||
         in.gcount() > 0) {
    lines += std::count(buffer.begin(), buffer.begin() + in.gcount(), '\n');
  }
  return lines;
}

int64_t CountLinesWith(const fs::path& path, std::string_view text) {
  std::ifstream in(path, std::ios::binary);
  std::string line;
  int64_t count = 0;
  while (std::getline(in, line)) {
    if (line.find(text) != std::string::npos) ++count;
  }
  return count;
}

fs::path IndexBeside(const fs::path& disk_map) {
  return disk_map.parent_path() /
         ("." + disk_map.filename().string() + ".index");
}

std::optional<int64_t> FirstDifference(const fs::path& a, const fs::path& b) {
  std::ifstream in_a(a, std::ios::binary);
  std::ifstream in_b(b, std::ios::binary);
  std::vector<char> chunk_a(kReadChunk);
  std::vector<char> chunk_b(kReadChunk);
  int64_t offset = 0;
  for (;;) {
    in_a.read(chunk_a.data(), static_cast<std::streamsize>(chunk_a.size()));
    in_b.read(chunk_b.data(), static_cast<std::streamsize>(chunk_b.size()));
    const auto got_a = static_cast<size_t>(in_a.gcount());
    const auto got_b = static_cast<size_t>(in_b.gcount());
    const size_t common = std::min(got_a, got_b);
    const auto [at_a, at_b] = std::mismatch(
        chunk_a.begin(), chunk_a.begin() + common, chunk_b.begin());
    if (at_a != chunk_a.begin() + common) {
      return offset + (at_a - chunk_a.begin());
    }
    if (got_a != got_b) return offset + static_cast<int64_t>(common);
    if (got_a == 0) return std::nullopt;
    offset += static_cast<int64_t>(common);
  }
}

std::string FindOnPath(std::string_view program) {
  const char* path = std::getenv("PATH");
  std::string_view folders = path != nullptr ? path : "/usr/bin:/bin";
  while (!folders.empty()) {
    const size_t colon = folders.find(':');
    std::string candidate =
        std::string(folders.substr(0, colon)) + "/" + std::string(program);
    if (access(candidate.c_str(), X_OK) == 0) return candidate;
    if (colon == std::string_view::npos) break;
    folders.remove_prefix(colon + 1);
  }
  return {};
}

bool DropPageCache() {
  sync();
  const int fd = open("/proc/sys/vm/drop_caches", O_WRONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool dropped = write(fd, "3", 1) == 1;
  close(fd);
  return dropped;
}

Sandbox::Sandbox(fs::path drive, const std::string& program,
                 const std::string& interpreter)
    : drive_(std::move(drive)) {
  fs::create_directories(run());
  fs::create_directories(temp());
  std::vector<std::string> programs = {program};
  if (!interpreter.empty()) programs.push_back(interpreter);
  for (const std::string& file : programs) {
    fs::copy_file(file, run() / fs::path(file).filename(),
                  fs::copy_options::overwrite_existing);
  }
}

fs::path Sandbox::output() const { return drive_.string() + ".out"; }

std::vector<std::string> Sandbox::Environment() const {
  return {"VEK_DRIVE_C=" + drive_.string(), "TEMP=" + temp().string(),
          "TROVANE_UI=quiet"};
}

void Sandbox::WriteRunInput(std::string_view wanted,
                            std::string_view entries) const {
  WriteFile(run() / "FileList.txt", wanted);
  WriteFile(run() / "MustExist.txt", "");
  std::string text = "INTERNAL FLAG = EXISTS!\r\nTDS = 09:15:00 11-30-2026\r\n";
  text += entries;
  WriteFile(databank(), text);
  fs::remove(activity_log());
}

bool Ending::Succeeded() const {
  return !stopped && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::string Ending::Describe() const {
  if (stopped) return "stopped by the benchmark";
  if (WIFEXITED(status)) {
    return "exit status " + std::to_string(WEXITSTATUS(status));
  }
  if (WIFSIGNALED(status)) return "signal " + std::to_string(WTERMSIG(status));
  return "wait status " + std::to_string(status);
}

Child::Child(const std::vector<std::string>& argv, const fs::path& folder,
             const std::vector<std::string>& environment,
             const fs::path& output) {
  std::vector<char*> arguments;
  arguments.reserve(argv.size() + 1);
  for (const std::string& argument : argv) {
    arguments.push_back(const_cast<char*>(argument.c_str()));
  }
  arguments.push_back(nullptr);
  std::vector<char*> settings;
  settings.reserve(environment.size() + 1);
  for (const std::string& setting : environment) {
    settings.push_back(const_cast<char*>(setting.c_str()));
  }
  settings.push_back(nullptr);

  started_ = SteadyClock::now();
  pid_ = fork();
  if (pid_ == 0) {
    const int fd =
        open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0 || chdir(folder.c_str()) != 0) _exit(126);
    dup2(fd, STDOUT_FILENO);
    dup2(fd, STDERR_FILENO);
    execve(arguments[0], arguments.data(), settings.data());
    _exit(127);
  }
  // Through syscall(2): the C library's header lacks C++ linkage.
  if (pid_ > 0) pidfd_ = static_cast<int>(syscall(SYS_pidfd_open, pid_, 0));
}

Child::~Child() {
  if (pid_ > 0) Stop();
  if (pidfd_ >= 0) close(pidfd_);
}

Child Child::StartSetup(const Sandbox& sandbox) {
  return Child({"./trovane-setup"}, sandbox.run(), sandbox.Environment(),
               sandbox.output());
}

Ending Child::Wait(SteadyClock::time_point deadline) {
  if (pid_ <= 0) return {};
  pollfd ended{pidfd_, POLLIN, 0};
  for (;;) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(
        deadline - SteadyClock::now());
    if (left.count() <= 0) return Stop();
    const int ready =
        poll(&ended, 1,
             static_cast<int>(std::min<int64_t>(left.count(), kLongestPollMs)));
    if (ready > 0) return Reap(/*stopped=*/false);
    if (ready < 0 && errno != EINTR) return Stop();
  }
}

Ending Child::Stop() {
  if (pid_ <= 0) return {};
  pollfd ended{pidfd_, POLLIN, 0};
  if (poll(&ended, 1, 0) > 0) return Reap(/*stopped=*/false);
  kill(pid_, SIGKILL);
  return Reap(/*stopped=*/true);
}

Ending Child::Reap(bool stopped) {
  Ending ending;
  ending.stopped = stopped;
  rusage usage{};
  while (wait4(pid_, &ending.status, 0, &usage) < 0 && errno == EINTR) {
  }
  ending.seconds = SecondsBetween(started_, SteadyClock::now());
  ending.cpu_seconds = SecondsOf(usage.ru_utime) + SecondsOf(usage.ru_stime);
  ending.peak_kib = usage.ru_maxrss;
  pid_ = -1;
  return ending;
}

// From /proc/PID/task/*/schedstat, whose first field is the time on a CPU in
// nanoseconds: finer than the clock ticks of /proc/PID/stat.
std::optional<CpuSample> SampleCpu(pid_t pid) {
  CpuSample sample;
  sample.at = SteadyClock::now();
  std::error_code error;
  bool found = false;
  for (const fs::directory_entry& task : fs::directory_iterator(
           "/proc/" + std::to_string(pid) + "/task", error)) {
    std::ifstream schedstat(task.path() / "schedstat");
    int64_t nanoseconds = 0;
    if (!(schedstat >> nanoseconds)) continue;
    found = true;
    sample.cpu_seconds += static_cast<double>(nanoseconds) / 1e9;
    sample.switches +=
        ProcNumber(task.path() / "status", "voluntary_ctxt_switches:") +
        ProcNumber(task.path() / "status", "nonvoluntary_ctxt_switches:");
  }
  if (!found) return std::nullopt;
  return sample;
}

LogWatcher::LogWatcher(fs::path log, std::vector<std::string> messages,
                       std::chrono::microseconds pause)
    : log_(std::move(log)), pause_(pause) {
  for (std::string& message : messages) seen_[std::move(message)];
  inotify_fd_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  // The folder, not the file: the run deletes the log and makes it anew.
  if (inotify_fd_ >= 0) {
    inotify_add_watch(inotify_fd_, log_.parent_path().c_str(),
                      IN_MODIFY | IN_CREATE);
  }
}

LogWatcher::~LogWatcher() {
  if (inotify_fd_ >= 0) close(inotify_fd_);
}

std::optional<SteadyClock::time_point> LogWatcher::WaitFor(
    std::string_view message, const Child& child,
    SteadyClock::time_point deadline) {
  for (;;) {
    const SteadyClock::time_point now = SteadyClock::now();
    ReadNew(now, child.pid());
    if (std::optional<SteadyClock::time_point> seen = SeenAt(message)) {
      return seen;
    }
    const auto left =
        std::chrono::ceil<std::chrono::milliseconds>(deadline - now);
    if (left.count() <= 0) return std::nullopt;
    std::array<pollfd, 2> events = {pollfd{inotify_fd_, POLLIN, 0},
                                    pollfd{child.pidfd(), POLLIN, 0}};
    const int timeout =
        static_cast<int>(std::min<int64_t>(left.count(), kLongestPollMs));
    if (poll(events.data(), events.size(), timeout) > 0) {
      std::array<char, 4096> drained;
      while (read(inotify_fd_, drained.data(), drained.size()) > 0) {
      }
      if ((events[1].revents & POLLIN) != 0) {
        ReadNew(SteadyClock::now(), child.pid());
        return SeenAt(message);
      }
    }
    if (pause_.count() > 0) std::this_thread::sleep_for(pause_);
  }
}

std::optional<SteadyClock::time_point> LogWatcher::SeenAt(
    std::string_view message) const {
  const auto it = seen_.find(message);
  if (it == seen_.end() || !it->second) return std::nullopt;
  return it->second->at;
}

std::optional<double> LogWatcher::CpuSecondsAt(std::string_view message) const {
  const auto it = seen_.find(message);
  if (it == seen_.end() || !it->second) return std::nullopt;
  return it->second->cpu_seconds;
}

std::optional<double> LogWatcher::CpuSecondsBetween(std::string_view from,
                                                    std::string_view to) const {
  const std::optional<double> start = CpuSecondsAt(from);
  const std::optional<double> end = CpuSecondsAt(to);
  if (!start || !end) return std::nullopt;
  return *end - *start;
}

void LogWatcher::ReadNew(SteadyClock::time_point now, pid_t pid) {
  const int fd = open(log_.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return;
  struct stat info {};
  if (fstat(fd, &info) == 0 && info.st_size < offset_) {
    offset_ = 0;  // a new log
    partial_.clear();
  }
  std::array<char, 1 << 16> buffer;
  ssize_t got = 0;
  std::optional<CpuSample> cpu;
  while ((got = pread(fd, buffer.data(), buffer.size(), offset_)) > 0) {
    offset_ += got;
    partial_.append(buffer.data(), static_cast<size_t>(got));
    size_t begin = 0;
    for (size_t end = partial_.find('\n'); end != std::string::npos;
         end = partial_.find('\n', begin)) {
      const std::string_view message =
          Message(std::string_view{partial_}.substr(begin, end - begin));
      const auto it = seen_.find(message);
      if (it != seen_.end() && !it->second) {
        // Sampled once per read however many messages it finds: the CPU
        // time is as late as the wall time.
        if (!cpu) cpu = SampleCpu(pid);
        it->second = Sighting{
            now, cpu ? std::optional<double>(cpu->cpu_seconds) : std::nullopt};
      }
      begin = end + 1;
    }
    partial_.erase(0, begin);
  }
  close(fd);
}

void RunSplit::Add(const fs::path& log) {
  const std::map<std::string, double, std::less<>> times = MessageTimes(log);
  seconds_.resize(kRunPhases.size());
  for (size_t i = 0; i < kRunPhases.size(); ++i) {
    const auto from = times.find(kRunPhases[i].from);
    const auto to = times.find(kRunPhases[i].to);
    const bool both = from != times.end() && to != times.end();
    seconds_[i].push_back(both ? to->second - from->second : 0);
  }
}

void RunSplit::Print(int indent) const {
  for (size_t i = 0; i < seconds_.size(); ++i) {
    std::printf("%*s%-28s %.3f s\n", indent, "", kRunPhases[i].name,
                Median(seconds_[i]));
  }
}

int CountDatabankEntries(const fs::path& databank, std::string_view prefix) {
  std::ifstream in(databank, std::ios::binary);
  std::string line;
  int count = 0;
  while (std::getline(in, line)) {
    if (std::string_view{line}.substr(0, prefix.size()) == prefix) ++count;
  }
  return count;
}

int64_t CountMessages(const fs::path& log, std::string_view after,
                      std::string_view prefix) {
  std::ifstream in(log, std::ios::binary);
  std::string line;
  bool counting = false;
  int64_t count = 0;
  while (std::getline(in, line)) {
    const std::string_view message = Message(line);
    if (!counting) {
      counting = message == after;
    } else if (message.substr(0, prefix.size()) == prefix) {
      ++count;
    }
  }
  return count;
}

std::string NumberedFileName(int number) {
  return "File_" + ZeroPadded(number, 6) + ".dat";
}

std::string NumberedDrivePath(int number) {
  return "C:\\DATA\\" + NumberedFolderName(number) + "\\FILE_" +
         ZeroPadded(number, 6) + ".DAT";
}

void EnsureNumberedFiles(const fs::path& drive, int count) {
  const fs::path stamp = drive / ".complete";
  if (fs::exists(stamp)) return;
  std::printf("building %s (once) ...\n", drive.c_str());
  std::fflush(stdout);
  for (int i = 0; i < count; ++i) {
    const fs::path folder = drive / "Data" / NumberedFolderName(i);
    if (i % kFilesPerFolder == 0) fs::create_directories(folder);
    WriteFile(folder / NumberedFileName(i), "");
  }
  WriteFile(stamp, "");
}

void ForEachTreeFile(
    const std::string& root,
    const std::function<void(int, const std::string&)>& visit) {
  const std::vector<std::string> folders = TreeFolders(root);
  const int leaves =
      kTreeFoldersPerLevel * kTreeFoldersPerLevel * kTreeFoldersPerLevel;
  const int files = kTreeEntries - static_cast<int>(folders.size());
  const size_t first_leaf = folders.size() - static_cast<size_t>(leaves);
  unsigned seed = 12345;
  for (int n = 0; n < files; ++n) {
    seed = seed * 1103515245U + 12345U;
    const std::string name =
        std::string(kFileWords[(seed >> 8) % kFileWords.size()]) + " " +
        std::to_string(n) + kExtensions[(seed >> 16) % kExtensions.size()];
    visit(n,
          folders[first_leaf + static_cast<size_t>(n % leaves)] + "/" + name);
  }
}

bool EnsureTree(const std::string& root) {
  const std::string stamp = root + ".complete";
  if (access(stamp.c_str(), F_OK) == 0) return true;
  std::printf("building %s (once) ...\n", root.c_str());
  std::fflush(stdout);
  const auto make_folder = [](const std::string& path) {
    return mkdir(path.c_str(), 0755) == 0 || errno == EEXIST;
  };
  std::error_code error;
  fs::create_directories(root, error);
  if (error) return false;
  for (const std::string& folder : TreeFolders(root)) {
    if (!make_folder(folder)) return false;
  }
  bool made = true;
  ForEachTreeFile(root, [&made](int, const std::string& path) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) made = false;
    if (fd >= 0) close(fd);
  });
  if (made) std::ofstream(stamp) << kTreeEntries << "\n";
  return made;
}

}  // namespace trovane::bench
