#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <optional>
#include <string_view>

#include "platform/linux/drive_map.h"
#include "platform/linux/linux_folder.h"
#include "platform/linux/path_view.h"
#include "platform/linux/unique_fd.h"
#include "platform/listing_count.h"
#include "platform/process.h"

namespace trovane {
namespace {

// An ordinary file we may run: a folder passes the access test too.
bool IsExecutable(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
         access(path.c_str(), X_OK) == 0;
}

// Watched through a descriptor of the process itself, which cannot come to
// stand for another process that gets its number later.
class DetachedProcess : public StartedProcess {
 public:
  DetachedProcess(pid_t pid, std::unique_ptr<ListingCount> count)
      : pid_(pid),
        pid_fd_(static_cast<int>(syscall(SYS_pidfd_open, pid, 0))),
        // Without a descriptor because the process is gone already.
        gone_(!pid_fd_.valid() && errno == ESRCH),
        count_(std::move(count)) {}

  bool Ended() override {
    if (gone_) return true;
    if (!pid_fd_.valid()) {
      // A system without process descriptors: asked by number.
      return kill(pid_, 0) != 0 && errno == ESRCH;
    }
    pollfd end{pid_fd_.get(), POLLIN, 0};
    return poll(&end, 1, 0) > 0;
  }
  Waitable EndWaker() const override {
    return pid_fd_.valid() ? Waitable(pid_fd_.get()) : Waitable();
  }
  uint64_t ListedPaths() const override { return count_ ? count_->Read() : 0; }

 private:
  pid_t pid_;
  UniqueFd pid_fd_;
  bool gone_;
  std::unique_ptr<ListingCount> count_;
};

class DetachedLauncher : public ProcessLauncher {
 public:
  explicit DetachedLauncher(const Environment& environment)
      : environment_(environment) {}
  std::string FindCompanion(std::string_view name) const override;
  std::unique_ptr<StartedProcess> StartDetached(
      const std::string& program, const std::vector<std::string>& arguments,
      const std::string& folder, const std::string& error_file) override;

 private:
  // The Linux path of a drive-form `path`, its names' case looked up;
  // nothing when it lies on no drive.
  std::optional<std::string> LinuxPathOf(const std::string& path) const;

  const Environment& environment_;
};

}  // namespace

std::optional<std::string> DetachedLauncher::LinuxPathOf(
    const std::string& path) const {
  std::string problem;
  std::optional<DriveMap> drives =
      DriveMap::FromEnvironment(environment_, &problem);
  if (!drives || path.empty()) return std::nullopt;
  return PathView(std::move(*drives), environment_.CurrentFolder())
      .ToLinux(path);
}

std::unique_ptr<StartedProcess> DetachedLauncher::StartDetached(
    const std::string& program, const std::vector<std::string>& arguments,
    const std::string& folder, const std::string& error_file) {
  // Without a count the batch still runs; the wait just shows no progress.
  std::unique_ptr<ListingCount> count = ListingCount::Create();
  std::optional<std::string> working_folder = LinuxPathOf(folder);
  if (working_folder && !IsLinuxFolder(*working_folder)) working_folder.reset();
  // Made new, never through a link or in the place of another file: what
  // the process says is shown to the user afterwards.
  UniqueFd errors;
  if (const std::optional<std::string> path = LinuxPathOf(error_file)) {
    unlink(path->c_str());
    errors.Reset(open(path->c_str(),
                      O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                      0644));
  }
  // Everything the new process gets is made before the fork: between fork
  // and exec only calls that need no memory are made.
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& argument : arguments) {
    argv.push_back(const_cast<char*>(argument.c_str()));
  }
  argv.push_back(nullptr);
  const std::string count_setting = count ? count->Setting() : std::string();
  std::vector<char*> envp;
  for (char** setting = environ; *setting != nullptr; ++setting) {
    if (std::string_view(*setting).starts_with(ListingCount::kVariable)) {
      continue;
    }
    envp.push_back(*setting);
  }
  if (count) envp.push_back(const_cast<char*>(count_setting.c_str()));
  envp.push_back(nullptr);

  // A pipe that closes on exec tells the parent the new process's number
  // and whether it started.
  int ends[2];
  if (pipe2(ends, O_CLOEXEC) != 0) return nullptr;
  UniqueFd status_in(ends[0]);
  UniqueFd status_out(ends[1]);

  const pid_t child = fork();
  if (child < 0) return nullptr;
  if (child == 0) {
    // The child starts the grandchild and ends at once, so the grandchild
    // is adopted by init and never becomes our zombie.
    setsid();
    // Signals this program blocks or ignores are none of the new one's
    // business; a blocked mask and ignored signals survive exec.
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    for (const int signal_number : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) {
      signal(signal_number, SIG_DFL);
    }
    const pid_t grandchild = fork();
    if (grandchild != 0) {
      if (grandchild > 0) {
        (void)!write(status_out.get(), &grandchild, sizeof grandchild);
      }
      _exit(grandchild < 0 ? 1 : 0);
    }
    const int null = open("/dev/null", O_RDWR);
    if (null >= 0) {
      dup2(null, STDIN_FILENO);
      dup2(null, STDOUT_FILENO);
      dup2(errors.valid() ? errors.get() : null, STDERR_FILENO);
      if (null > STDERR_FILENO) close(null);
    }
    if (count) fcntl(static_cast<int>(count->native()), F_SETFD, 0);
    if (working_folder) (void)!chdir(working_folder->c_str());
    execve(program.c_str(), argv.data(), envp.data());
    const char failed = 1;
    (void)!write(status_out.get(), &failed, 1);
    _exit(127);
  }
  status_out.Reset();
  int child_status = 0;
  while (waitpid(child, &child_status, 0) < 0 && errno == EINTR) {
  }
  // The grandchild's number, then nothing when it started, or a byte when
  // it could not.
  char report[sizeof(pid_t) + 1];
  size_t got = 0;
  for (;;) {
    const ssize_t n = read(status_in.get(), report + got, sizeof report - got);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    got += static_cast<size_t>(n);
  }
  if (!WIFEXITED(child_status) || WEXITSTATUS(child_status) != 0 ||
      got != sizeof(pid_t)) {
    return nullptr;
  }
  pid_t started = 0;
  std::memcpy(&started, report, sizeof started);
  return std::make_unique<DetachedProcess>(started, std::move(count));
}

std::string DetachedLauncher::FindCompanion(std::string_view name) const {
  std::string beside =
      environment_.ExecutableFolder() + "/" + std::string(name);
  if (IsExecutable(beside)) return beside;
  const std::string path = environment_.Get("PATH");
  size_t start = 0;
  while (!path.empty() && start <= path.size()) {
    size_t end = path.find(':', start);
    if (end == std::string::npos) end = path.size();
    const std::string folder =
        end > start ? path.substr(start, end - start) : std::string(".");
    std::string candidate = folder + "/" + std::string(name);
    if (IsExecutable(candidate)) return candidate;
    start = end + 1;
  }
  return {};
}

std::unique_ptr<ProcessLauncher> MakeProcessLauncher(
    const Environment& environment) {
  return std::make_unique<DetachedLauncher>(environment);
}

}  // namespace trovane
