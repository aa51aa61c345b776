#include "tests/support/child_process.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <thread>

extern char** environ;

namespace trovane::testing {

ChildProcess::ChildProcess(const ChildOptions& options) {
  std::vector<char*> environment;
  for (const std::string& setting : options.environment) {
    environment.push_back(const_cast<char*>(setting.c_str()));
  }
  if (options.inherit_environment) {
    for (char** entry = environ; *entry != nullptr; ++entry) {
      environment.push_back(*entry);
    }
  }
  environment.push_back(nullptr);
  std::vector<char*> arguments;
  for (const std::string& argument : options.arguments) {
    arguments.push_back(const_cast<char*>(argument.c_str()));
  }
  arguments.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null",
                                   O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO,
                                   options.out_path.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO,
                                   options.err_path.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (!options.folder.empty()) {
    posix_spawn_file_actions_addchdir_np(&actions, options.folder.c_str());
  }
  pid_t pid = 0;
  if (posix_spawnp(&pid, arguments[0], &actions, nullptr, arguments.data(),
                   environment.data()) == 0) {
    pid_ = pid;
  } else {
    ADD_FAILURE() << "cannot start " << options.arguments.front();
  }
  posix_spawn_file_actions_destroy(&actions);
}

ChildProcess::~ChildProcess() {
  if (pid_ <= 0) return;
  kill(pid_, SIGKILL);
  waitpid(pid_, nullptr, 0);
}

void ChildProcess::Signal(int signal_number) const {
  if (pid_ > 0) kill(pid_, signal_number);
}

int ChildProcess::Wait(std::chrono::seconds limit) {
  if (pid_ <= 0) return -1;
  const auto deadline = std::chrono::steady_clock::now() + limit;
  int status = 0;
  while (waitpid(pid_, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      ADD_FAILURE() << "the program did not end";
      return -1;  // the destructor kills it
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  pid_ = -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

int RunToEnd(const ChildOptions& options) {
  ChildProcess child(options);
  return child.Wait();
}

}  // namespace trovane::testing
