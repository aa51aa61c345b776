// Running a program as a child process, for the tests that check the built
// executable from the outside.
#ifndef TROVANE_TESTS_TROVANE_CMD_PROGRAM_RUN_H_
#define TROVANE_TESTS_TROVANE_CMD_PROGRAM_RUN_H_

#include <string>
#include <vector>

namespace trovane::testing {

struct ProgramRun {
  // Argument 0 is the program, looked for on PATH when it has no "/".
  std::vector<std::string> arguments;
  // "NAME=VALUE" settings added to this process's environment.
  std::vector<std::string> environment;
  std::string folder;    // the child's current folder
  std::string out_path;  // where its standard output goes
  std::string err_path;  // where its standard error goes
};

// Runs the program to its end; its exit status, or -1 when it did not exit
// normally.
int RunProgram(const ProgramRun& run);

}  // namespace trovane::testing

#endif  // TROVANE_TESTS_TROVANE_CMD_PROGRAM_RUN_H_
