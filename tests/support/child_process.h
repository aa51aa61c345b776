// A program run as a child process, for the tests that check a built
// executable from the outside.
#ifndef TROVANE_TESTS_SUPPORT_CHILD_PROCESS_H_
#define TROVANE_TESTS_SUPPORT_CHILD_PROCESS_H_

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

namespace trovane::testing {

struct ChildOptions {
  // Argument 0 is the program, looked for on PATH when it holds no "/".
  std::vector<std::string> arguments = {};
  // "NAME=VALUE" settings: put in front of this process's environment, or
  // the whole environment when `inherit_environment` is false.
  std::vector<std::string> environment = {};
  bool inherit_environment = true;
  std::string folder = {};  // the child's current folder; ours when empty
  std::string out_path = "/dev/null";
  std::string err_path = "/dev/null";
};

class ChildProcess {
 public:
  // Starts the child; standard input is /dev/null.
  explicit ChildProcess(const ChildOptions& options);
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;
  // Kills a child that is still running.
  ~ChildProcess();

  bool started() const { return pid_ > 0; }
  void Signal(int signal_number) const;

  // Waits for the end: the exit status, 128 + the signal's number when a
  // signal ended it, -1 when it never started or ran past `limit` (it is
  // killed then, and the test fails).
  int Wait(std::chrono::seconds limit = std::chrono::seconds(60));

 private:
  pid_t pid_ = -1;
};

// Starts the child and waits for its end; its status as Wait() gives it.
int RunToEnd(const ChildOptions& options);

}  // namespace trovane::testing

#endif  // TROVANE_TESTS_SUPPORT_CHILD_PROCESS_H_
