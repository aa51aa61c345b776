// A program run as a child process, for the Windows tests that check a
// built program from the outside.
#ifndef TROVANE_TESTS_SUPPORT_WINDOWS_CHILD_H_
#define TROVANE_TESTS_SUPPORT_WINDOWS_CHILD_H_

#include <windows.h>

#include <chrono>
#include <string>
#include <vector>

namespace trovane::testing {

// The path of the program `name` ("x.exe") beside this test program.
std::string BesideThisProgram(const std::string& name);

struct WindowsChildOptions {
  // Argument 0 is the program's path.
  std::vector<std::string> arguments;
  // Standard output and error: files the child's bytes go to, or none.
  std::string out_path = {};
  std::string err_path = {};
  // A console of its own, whose Ctrl+C the child may send itself.
  bool own_console = false;
};

// Runs the child to its end: its exit status, or -1 when it could not be
// started or ran past `limit` (it is ended then, and the test fails).
int RunWindowsChild(const WindowsChildOptions& options,
                    std::chrono::seconds limit = std::chrono::seconds(30));

}  // namespace trovane::testing

#endif  // TROVANE_TESTS_SUPPORT_WINDOWS_CHILD_H_
