// The two executables copied into a sandbox that is drive C, run as a user
// would run them: from the program's folder C:\Run, with the temporary
// folder C:\Temp and no display, so the run is quiet. A test may change the
// command line and the environment before it runs the program.
#ifndef TROVANE_TESTS_E2E_PROGRAM_RUN_H_
#define TROVANE_TESTS_E2E_PROGRAM_RUN_H_

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/sandbox.h"
#include "tests/support/text_files.h"

namespace trovane::testing {

class ProgramRun {
 public:
  // What runs the scan batch: trovane-cmd itself, or a stand-in that never
  // writes the completion signal and either goes on (so the batch wait goes
  // on until the program is stopped) or ends at once.
  enum class Interpreter { kReal, kNeverEnding, kEndingAtOnce };
  explicit ProgramRun(Interpreter interpreter = Interpreter::kReal);

  // Runs the program to its end; the exit status.
  int Run();

  // Starts the program and returns at once.
  void Start();
  // Waits until the activity log holds the message `message`.
  bool WaitForLog(const std::string& message) const;
  // Sends `signal_number` and waits for the end; the exit status.
  int Stop(int signal_number);

  std::vector<std::string> ActivityLog() const {
    return ActivityLogMessages(sandbox);
  }
  // What the program wrote to standard error and to standard output.
  std::string ErrorOutput() const { return sandbox.Read("stderr.txt"); }
  std::string Output() const { return sandbox.Read("stdout.txt"); }

  Sandbox sandbox;
  // The program, C:\Run\trovane-setup, and its arguments.
  std::vector<std::string> command;
  // The program's whole environment. Nothing of the caller's but what a
  // run needs: drive C, the temporary folder, HOME and WINEPREFIX in the
  // sandbox (a prefix that maps nothing), no display, the quiet front end
  // and a PATH without another interpreter.
  std::map<std::string, std::string> environment;

 private:
  std::unique_ptr<ChildProcess> program_;
};

}  // namespace trovane::testing

#endif  // TROVANE_TESTS_E2E_PROGRAM_RUN_H_
