// An interpreter whose drive C is a fresh sandbox and whose standard output
// and standard error are files in it, for tests that run batch lines and
// look at what they left behind.
#ifndef TROVANE_TESTS_TROVANE_CMD_INTERPRETER_FIXTURE_H_
#define TROVANE_TESTS_TROVANE_CMD_INTERPRETER_FIXTURE_H_

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/linux/unique_fd.h"
#include "tests/support/sandbox.h"
#include "tests/support/text_files.h"
#include "trovane-cmd/interpreter.h"
#include "trovane-cmd/linux/pseudo_mounts.h"

namespace trovane::testing {

class InterpreterTest : public ::testing::Test {
 protected:
  InterpreterTest();

  // Starts over with the given pseudo mounts (none by default).
  void UsePseudoMounts(PseudoMounts mounts);
  // Starts over with the given folder reader.
  void UseFolderReader(std::unique_ptr<FolderReader> reader);

  void Run(std::initializer_list<std::string_view> lines);

  // What the commands wrote to standard output and standard error so far.
  std::string Out() const { return sandbox_.Read(kOut); }
  std::string Err() const { return sandbox_.Read(kErr); }

  // The lines of the disk map "Dir PATH /s /b > C:\map.txt" writes; the
  // map lies outside the folders the tests list.
  std::vector<std::string> Listing(std::string_view path);

  static constexpr char kOut[] = "stdout.txt";
  static constexpr char kErr[] = "stderr.txt";

  Sandbox sandbox_;
  UniqueFd out_;
  UniqueFd err_;
  Interpreter interpreter_;
};

}  // namespace trovane::testing

#endif  // TROVANE_TESTS_TROVANE_CMD_INTERPRETER_FIXTURE_H_
