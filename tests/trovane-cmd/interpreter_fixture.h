// Interpreters whose standard streams are in memory, for tests that run
// batch lines and look at what they left behind, here on a drive C in
// memory (each system's real disk has a fixture of its own).
#ifndef TROVANE_TESTS_TROVANE_CMD_INTERPRETER_FIXTURE_H_
#define TROVANE_TESTS_TROVANE_CMD_INTERPRETER_FIXTURE_H_

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/environment.h"
#include "platform/file_system.h"
#include "tests/support/failing_file_system.h"
#include "tests/support/fakes.h"
#include "tests/support/memory_file_system.h"
#include "tests/trovane-cmd/memory_folder_reader.h"
#include "trovane-cmd/interpreter.h"

namespace trovane::testing {

class InterpreterFixture : public ::testing::Test {
 protected:
  void Run(std::initializer_list<std::string_view> lines);

  // What the commands wrote to standard output and standard error so far.
  const std::string& Out() const { return console_.output; }
  const std::string& Err() const { return console_.error; }

  // The lines of the disk map "Dir PATH /s /b > C:\map.txt" writes; the
  // map lies outside the folders the tests list.
  std::vector<std::string> Listing(std::string_view path);

  // (Re)starts the interpreter on `files`, reading folders with `folders`
  // and naming paths as `environment` does (by default `environment_`);
  // its current folder is the environment's.
  void Start(FileSystem& files, std::unique_ptr<FolderReader> folders,
             const Environment* environment = nullptr);

  FakeEnvironment environment_{"C:\\"};
  FakeConsole console_;
  std::optional<Interpreter> interpreter_;

 private:
  FileSystem* files_ = nullptr;
};

// Drive C in memory: the disk, and the folder reader that lists the same
// files and folders. Every operation goes through `files_`, which fails
// those a test asks it to.
class InterpreterTest : public InterpreterFixture {
 protected:
  InterpreterTest();

  // Paths relative to the root of drive C, "/" between names, laid out on
  // the disk and in the reader alike.
  void AddFile(std::string_view path, std::string_view content = {});
  void AddFolder(std::string_view path);

  MemoryFileSystem disk_;
  FailingFileSystem files_{disk_};
  MemoryFolderReader* folders_ = nullptr;  // owned by the interpreter
};

}  // namespace trovane::testing

#endif  // TROVANE_TESTS_TROVANE_CMD_INTERPRETER_FIXTURE_H_
