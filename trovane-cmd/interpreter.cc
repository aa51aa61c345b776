#include "trovane-cmd/interpreter.h"

#include <unistd.h>

#include <cerrno>
#include <memory>
#include <optional>
#include <utility>

#include "platform/input_file.h"
#include "platform/linux/linux_file_system.h"
#include "platform/linux/linux_folder.h"
#include "platform/linux/unique_fd.h"
#include "trovane-cmd/folder_walker.h"
#include "trovane-cmd/listing_path.h"
#include "trovane-cmd/listing_writer.h"
#include "trovane-cmd/redirection_target.h"

namespace trovane {

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
  // The drive table has already taken "." and "NAME\.." out by the names
  // alone, as the desktop system changes folders, and never above the
  // drive's root.
  std::optional<std::string> folder = paths_.ToLinux(path);
  if (!folder || !IsLinuxFolder(*folder)) {
    Complain("Cannot find the folder ", path);
    return;
  }
  paths_ = PathView(paths_.drives(), std::move(*folder));
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
  out.ReportTo(count_, listed_);
  const std::optional<ListingRequest> request =
      ResolveListedPath(line.argument, paths_);
  if (request) {
    ListFolderTree(*request, pseudo_mounts_, &out);
  }
  const bool written = out.Flush();
  listed_ += out.lines();
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
