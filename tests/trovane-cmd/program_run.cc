#include "tests/trovane-cmd/program_run.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

extern char** environ;

namespace trovane::testing {

int RunProgram(const ProgramRun& run) {
  // The child's environment: ours, with the given settings in front so
  // that they win.
  std::vector<char*> environment;
  for (const std::string& setting : run.environment) {
    environment.push_back(const_cast<char*>(setting.c_str()));
  }
  for (char** entry = environ; *entry != nullptr; ++entry) {
    environment.push_back(*entry);
  }
  environment.push_back(nullptr);
  std::vector<char*> arguments;
  for (const std::string& argument : run.arguments) {
    arguments.push_back(const_cast<char*>(argument.c_str()));
  }
  arguments.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null",
                                   O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO,
                                   run.out_path.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO,
                                   run.err_path.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addchdir_np(&actions, run.folder.c_str());
  pid_t pid = 0;
  const int failed = posix_spawnp(&pid, arguments[0], &actions, nullptr,
                                  arguments.data(), environment.data());
  posix_spawn_file_actions_destroy(&actions);
  if (failed != 0) return -1;
  int status = 0;
  if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

}  // namespace trovane::testing
