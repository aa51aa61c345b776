#include "trovane-cmd/interpreter.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "platform/input_file.h"
#include "platform/linux_file_system.h"
#include "platform/unique_fd.h"
#include "trovane-cmd/folder_walker.h"
#include "trovane-cmd/listing_path.h"
#include "trovane-cmd/listing_writer.h"
#include "trovane-cmd/redirection_target.h"

namespace trovane {
namespace {

// The folder with "." and "NAME\.." taken out by the names alone, as the
// desktop system changes folders; empty when that is no folder.
std::string NormalizedFolder(std::string_view linux_path) {
  std::vector<std::string_view> names;
  while (!linux_path.empty()) {
    const size_t slash = linux_path.find('/');
    const std::string_view name = linux_path.substr(0, slash);
    linux_path.remove_prefix(slash == std::string_view::npos ? linux_path.size()
                                                             : slash + 1);
    if (name.empty() || name == ".") {
      continue;
    }
    if (name == "..") {
      if (!names.empty()) {
        names.pop_back();
      }
      continue;
    }
    names.push_back(name);
  }
  std::string folder;
  for (std::string_view name : names) {
    folder.push_back('/');
    folder.append(name);
  }
  if (names.empty()) {
    folder.push_back('/');
  }
  struct stat info;
  if (stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
    return {};
  }
  return folder;
}

}  // namespace

Interpreter::Interpreter(DriveMap drives, std::string current_folder,
                         Streams streams, PseudoMounts pseudo_mounts)
    : paths_(std::move(drives), std::move(current_folder)),
      streams_(streams),
      pseudo_mounts_(std::move(pseudo_mounts)) {}

bool Interpreter::RunFile(std::string_view path) {
  LinuxFileSystem files(paths_);
  if (!files.IsFile(path)) {
    return false;
  }
  const std::unique_ptr<InputFile> batch =
      files.OpenForReading(path, OpenOptions{});
  if (!batch) {
    return false;
  }
  std::string line;
  while (batch->ReadLine(&line)) {
    RunLine(line);
  }
  return true;
}

void Interpreter::RunLine(std::string_view line) {
  const BatchLine parsed = ParseBatchLine(line);
  switch (parsed.command) {
    case BatchLine::Command::kNothing:
    case BatchLine::Command::kEchoSwitch:
      return;
    case BatchLine::Command::kEcho:
      Echo(parsed);
      return;
    case BatchLine::Command::kDel:
      Delete(parsed.argument);
      return;
    case BatchLine::Command::kCd:
      ChangeFolder(parsed.argument);
      return;
    case BatchLine::Command::kDir:
      List(parsed);
      return;
    case BatchLine::Command::kUnknown:
      if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
      }
      Complain("Unknown command: ", line);
      return;
  }
}

void Interpreter::Echo(const BatchLine& line) {
  UniqueFd target;
  const int fd = OutputOf(line, &target);
  if (fd < 0) {
    return;
  }
  std::string text(line.argument);
  text.append("\r\n");
  if (!WriteAll(fd, text) && target.valid()) {
    Complain("Cannot write to ", line.target);
  }
}

void Interpreter::Delete(std::string_view path) {
  const std::optional<std::string> linux_path = paths_.ToLinux(path);
  if (linux_path && unlink(linux_path->c_str()) == 0) {
    return;
  }
  if (!linux_path || errno == ENOENT || errno == ENOTDIR) {
    Complain("Could Not Find ", path);
  } else {
    Complain("Could Not Delete ", path);
  }
}

void Interpreter::ChangeFolder(std::string_view path) {
  const std::optional<std::string> linux_path = paths_.ToLinux(path);
  std::string folder =
      linux_path ? NormalizedFolder(*linux_path) : std::string();
  if (folder.empty()) {
    Complain("Cannot find the folder ", path);
    return;
  }
  paths_ = PathView(paths_.drives(), std::move(folder));
}

void Interpreter::List(const BatchLine& line) {
  // The target is created or emptied before the walk, so it is there to be
  // listed when it lies in the scanned folder, and empty when nothing is
  // found.
  UniqueFd target;
  const int fd = OutputOf(line, &target);
  if (fd < 0) {
    return;
  }
  ListingWriter out(fd);
  const std::optional<ListingRequest> request =
      ResolveListedPath(line.argument, paths_);
  if (request) {
    ListFolderTree(*request, pseudo_mounts_, &out);
  }
  const bool written = out.Flush();
  if (out.lines() == 0) {
    Complain("File Not Found");
  }
  if (!written && target.valid()) {
    Complain("Cannot write to ", line.target);
  }
}

int Interpreter::OutputOf(const BatchLine& line, UniqueFd* target) {
  if (line.redirection == Redirection::kNone) {
    return streams_.out;
  }
  const std::optional<std::string> linux_path = paths_.ToLinux(line.target);
  if (linux_path) {
    *target = OpenRedirectionTarget(*linux_path, line.redirection);
  }
  if (!target->valid()) {
    Complain("Cannot write to ", line.target);
    return -1;
  }
  return target->get();
}

void Interpreter::Complain(std::string_view message, std::string_view subject) {
  std::string text(message);
  text.append(subject);
  text.push_back('\n');
  WriteAll(streams_.err, text);
}

}  // namespace trovane
