#include "tests/trovane-cmd/interpreter_fixture.h"

#include <fcntl.h>

#include <memory>
#include <utility>

#include "trovane-cmd/linux/linux_folder_reader.h"

namespace trovane::testing {
namespace {

UniqueFd OpenLog(const Sandbox& sandbox, const char* name) {
  return UniqueFd(open(sandbox.Path(name).c_str(),
                       O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
}

}  // namespace

InterpreterTest::InterpreterTest()
    : out_(OpenLog(sandbox_, kOut)),
      err_(OpenLog(sandbox_, kErr)),
      interpreter_(sandbox_.Drives(), sandbox_.root(), {out_.get(), err_.get()},
                   std::make_unique<LinuxFolderReader>(PseudoMounts())) {}

void InterpreterTest::UsePseudoMounts(PseudoMounts mounts) {
  UseFolderReader(std::make_unique<LinuxFolderReader>(std::move(mounts)));
}

void InterpreterTest::UseFolderReader(std::unique_ptr<FolderReader> reader) {
  interpreter_ = Interpreter(sandbox_.Drives(), sandbox_.root(),
                             {out_.get(), err_.get()}, std::move(reader));
}

void InterpreterTest::Run(std::initializer_list<std::string_view> lines) {
  for (std::string_view line : lines) interpreter_.RunLine(line);
}

std::vector<std::string> InterpreterTest::Listing(std::string_view path) {
  interpreter_.RunLine("Dir " + std::string(path) + " /s /b > C:\\map.txt");
  return CrLfLines(sandbox_.Read("map.txt"));
}

}  // namespace trovane::testing
