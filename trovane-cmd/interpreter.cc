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
#include "trovane-cmd/linux/redirection_target.h"
#include "trovane-cmd/listing_path.h"
#include "trovane-cmd/listing_writer.h"

namespace trovane {

Interpreter::Interpreter(DriveMap drives, std::string current_folder,
                         Streams streams, std::unique_ptr<FolderReader> folders)
    : paths_(std::move(drives), std::move(current_folder)),
      streams_(streams),
      folders_(std::move(folders)) {}

Interpreter::Outcome Interpreter::RunFile(std::string_view path) {
  LinuxFileSystem files(paths_);
  if (!files.IsFile(path)) {
    return Outcome::kUnreadable;
  }
  const std::unique_ptr<InputFile> batch =
      files.OpenForReading(path, OpenOptions{});
  if (!batch) {
    return Outcome::kUnreadable;
  }
  std::string line;
  while (batch->ReadLine(&line)) {
    if (!RunLine(line)) {
      return Outcome::kWriteFailed;
    }
  }
  return Outcome::kRan;
}

bool Interpreter::RunLine(std::string_view line) {
  const BatchLine parsed = ParseBatchLine(line);
  switch (parsed.command) {
    case BatchLine::Command::kNothing:
    case BatchLine::Command::kEchoSwitch:
      return true;
    case BatchLine::Command::kEcho:
      return Echo(parsed);
    case BatchLine::Command::kDel:
      Delete(parsed.argument);
      return true;
    case BatchLine::Command::kCd:
      ChangeFolder(parsed.argument);
      return true;
    case BatchLine::Command::kDir:
      return List(parsed);
    case BatchLine::Command::kUnknown:
      if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
      }
      Complain("Unknown command: ", line);
      return true;
  }
  return true;
}

bool Interpreter::Echo(const BatchLine& line) {
  UniqueFd target;
  const int fd = OutputOf(line, &target);
  if (fd < 0) {
    return true;
  }
  std::string text(line.argument);
  text.append("\r\n");
  if (!WriteAll(fd, text) && target.valid()) {
    ComplainOfFailedWrite(line.target);
    return false;
  }
  return true;
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

bool Interpreter::List(const BatchLine& line) {
  // The target is created or emptied before the walk, so it is there to be
  // listed when it lies in the scanned folder, and empty when nothing is
  // found.
  UniqueFd target;
  const int fd = OutputOf(line, &target);
  if (fd < 0) {
    return true;
  }
  ListingWriter out(fd);
  out.ReportTo(count_, listed_);
  const std::optional<ListingRequest> request =
      ResolveListedPath(line.argument, paths_);
  WalkResult walk;
  if (request) {
    walk = ListFolderTree(*request, folders_.get(), &out);
  }
  const bool written = out.Flush();
  listed_ += out.lines();
  if (walk.passed_over > 0) {
    Complain(PassedOverText(walk.passed_over));
  }
  if (out.lines() == 0) {
    Complain("File Not Found");
  }
  if (!written && target.valid()) {
    ComplainOfFailedWrite(line.target);
    return false;
  }
  return true;
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

std::string Interpreter::PassedOverText(size_t names) {
  return "Passed over " + std::to_string(names) +
         (names == 1 ? " name" : " names") + " that no drive path can hold";
}

void Interpreter::ComplainOfFailedWrite(std::string_view target) {
  Complain("Writing to ",
           std::string(target) + " failed: the batch stops here");
}

void Interpreter::Complain(std::string_view message, std::string_view subject) {
  std::string text(message);
  text.append(subject);
  text.push_back('\n');
  WriteAll(streams_.err, text);
}

}  // namespace trovane
