#include "tests/trovane-cmd/interpreter_fixture.h"

#include <memory>
#include <utility>

#include "tests/support/text_files.h"

namespace trovane::testing {

void InterpreterFixture::Start(FileSystem& files,
                               std::unique_ptr<FolderReader> folders,
                               const Environment* environment) {
  files_ = &files;
  interpreter_.emplace(files, environment ? *environment : environment_,
                       console_, std::move(folders));
}

void InterpreterFixture::Run(std::initializer_list<std::string_view> lines) {
  for (std::string_view line : lines) interpreter_->RunLine(line);
}

std::vector<std::string> InterpreterFixture::Listing(std::string_view path) {
  interpreter_->RunLine("Dir " + std::string(path) + " /s /b > C:\\map.txt");
  const std::unique_ptr<InputFile> map =
      files_->OpenForReading("C:\\map.txt", OpenOptions{});
  std::string content;
  if (map) {
    char buffer[4096];
    while (const size_t got = map->ReadBytes(buffer, sizeof buffer)) {
      content.append(buffer, got);
    }
  }
  return CrLfLines(content);
}

InterpreterTest::InterpreterTest() {
  auto folders = std::make_unique<MemoryFolderReader>();
  folders_ = folders.get();
  Start(files_, std::move(folders));
}

void InterpreterTest::AddFile(std::string_view path, std::string_view content) {
  disk_.Write(path, content);
  folders_->AddFile(path);
}

void InterpreterTest::AddFolder(std::string_view path) {
  disk_.MakeFolder("C:\\" + std::string(path));
  folders_->AddFolder(path);
}

}  // namespace trovane::testing
