#include "tests/e2e/program_run.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

namespace trovane::testing {
namespace {

constexpr auto kLongest = std::chrono::seconds(60);

void CopyExecutable(const std::string& from, const std::string& to) {
  std::filesystem::copy_file(from, to);
}

}  // namespace

ProgramRun::ProgramRun(bool with_interpreter) {
  sandbox.MakeFolder("Run");
  sandbox.MakeFolder("Temp");
  CopyExecutable(TROVANE_SETUP_PATH, sandbox.Path("Run/trovane-setup"));
  if (with_interpreter) {
    CopyExecutable(TROVANE_CMD_PATH, sandbox.Path("Run/trovane-cmd"));
  }
}

void ProgramRun::Start() {
  const std::string program = sandbox.Path("Run/trovane-setup");
  const std::string run_folder = sandbox.Path("Run");
  const std::string drive = "VEK_DRIVE_C=" + sandbox.root();
  const std::string temp = "TEMP=" + sandbox.Path("Temp");
  const std::string errors = sandbox.Path("stderr.txt");
  pid_ = fork();
  ASSERT_GE(pid_, 0);
  if (pid_ == 0) {
    const int error_fd =
        open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(error_fd, STDERR_FILENO);
    const int null = open("/dev/null", O_RDWR);
    dup2(null, STDIN_FILENO);
    dup2(null, STDOUT_FILENO);
    if (chdir(run_folder.c_str()) != 0) _exit(126);
    // Nothing of the caller's environment but what a run needs: no display,
    // no other temporary folder, and a PATH without another interpreter.
    char* const environment[] = {
        const_cast<char*>(drive.c_str()), const_cast<char*>(temp.c_str()),
        const_cast<char*>("PATH=/nonexistent"),
        const_cast<char*>("TROVANE_UI=quiet"), nullptr};
    char* const arguments[] = {const_cast<char*>(program.c_str()), nullptr};
    execve(program.c_str(), arguments, environment);
    _exit(127);
  }
}

int ProgramRun::WaitForEnd() {
  const auto deadline = std::chrono::steady_clock::now() + kLongest;
  int status = 0;
  while (waitpid(pid_, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid_, SIGKILL);
      waitpid(pid_, &status, 0);
      ADD_FAILURE() << "the program did not end";
      return -1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  pid_ = -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

int ProgramRun::Run() {
  Start();
  return WaitForEnd();
}

bool ProgramRun::WaitForLog(const std::string& message) {
  const auto deadline = std::chrono::steady_clock::now() + kLongest;
  while (std::chrono::steady_clock::now() < deadline) {
    for (const std::string& line : ActivityLog()) {
      if (line == message) return true;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return false;
}

int ProgramRun::Stop(int signal_number) {
  kill(pid_, signal_number);
  return WaitForEnd();
}

std::vector<std::string> ProgramRun::ActivityLog() const {
  return ActivityLogMessages(sandbox);
}

std::string ProgramRun::ErrorOutput() const {
  return sandbox.Read("stderr.txt");
}

}  // namespace trovane::testing
