#include "platform/process.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

#include "platform/unique_fd.h"

namespace trovane {
namespace {

// An ordinary file we may run: a folder passes the access test too.
bool IsExecutable(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
         access(path.c_str(), X_OK) == 0;
}

}  // namespace

bool DetachedLauncher::StartDetached(
    const std::string& program, const std::vector<std::string>& arguments) {
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& argument : arguments) {
    argv.push_back(const_cast<char*>(argument.c_str()));
  }
  argv.push_back(nullptr);

  // A pipe that closes on exec tells the parent whether the program started.
  int ends[2];
  if (pipe2(ends, O_CLOEXEC) != 0) return false;
  UniqueFd status_in(ends[0]);
  UniqueFd status_out(ends[1]);

  const pid_t child = fork();
  if (child < 0) return false;
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
    if (grandchild != 0) _exit(grandchild < 0 ? 1 : 0);
    const int null = open("/dev/null", O_RDWR);
    if (null >= 0) {
      dup2(null, STDIN_FILENO);
      dup2(null, STDOUT_FILENO);
      dup2(null, STDERR_FILENO);
      if (null > STDERR_FILENO) close(null);
    }
    execv(program.c_str(), argv.data());
    const char failed = 1;
    (void)!write(status_out.get(), &failed, 1);
    _exit(127);
  }
  status_out.Reset();
  int child_status = 0;
  while (waitpid(child, &child_status, 0) < 0 && errno == EINTR) {
  }
  char failed = 0;
  ssize_t n;
  do {
    n = read(status_in.get(), &failed, 1);
  } while (n < 0 && errno == EINTR);
  return WIFEXITED(child_status) && WEXITSTATUS(child_status) == 0 && n == 0;
}

std::string FindCompanion(const std::string& name,
                          const Environment& environment) {
  std::string beside = environment.ExecutableFolder() + "/" + name;
  if (IsExecutable(beside)) return beside;
  const std::string path = environment.Get("PATH");
  size_t start = 0;
  while (!path.empty() && start <= path.size()) {
    size_t end = path.find(':', start);
    if (end == std::string::npos) end = path.size();
    const std::string folder =
        end > start ? path.substr(start, end - start) : std::string(".");
    std::string candidate = folder + "/" + name;
    if (IsExecutable(candidate)) return candidate;
    start = end + 1;
  }
  return {};
}

}  // namespace trovane
