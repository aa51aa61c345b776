#include "trovane-cmd/interpreter.h"

#include <memory>
#include <optional>
#include <random>
#include <utility>

#include "platform/input_file.h"
#include "trovane-cmd/folder_walker.h"
#include "trovane-cmd/listing_path.h"
#include "trovane-cmd/listing_writer.h"

namespace trovane {
namespace {

// A key for the sums of a new index's placements: 64 random bits.
uint64_t NewShownKey() {
  std::random_device random;
  return (uint64_t{random()} << 32) ^ random();
}

}  // namespace

Interpreter::Interpreter(FileSystem& files, const Environment& environment,
                         Console& console,
                         std::unique_ptr<FolderReader> folders,
                         std::unique_ptr<IndexFiles> indexes)
    : files_(&files),
      console_(&console),
      paths_(environment, environment.ToDriveForm(environment.CurrentFolder())),
      folders_(std::move(folders)),
      indexes_(std::move(indexes)) {}

Interpreter::Outcome Interpreter::RunFile(std::string_view path) {
  const std::optional<std::string> batch_path = paths_.Absolute(path);
  if (!batch_path) {
    return Outcome::kUnreadable;
  }
  const std::unique_ptr<InputFile> batch =
      files_->OpenForReading(*batch_path, OpenOptions{});
  if (!batch) {
    return Outcome::kUnreadable;
  }
  batch->LimitLines(kLongestLine);
  std::string line;
  while (batch->ReadLine(&line)) {
    if (batch->overlong()) {
      Complain("Line too long, passed over: longer than 64 KiB", "");
      continue;
    }
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
  std::string text(line.argument);
  text.append("\r\n");
  if (line.redirection == Redirection::kNone) {
    console_->WriteOutput(text);
    return true;
  }
  const std::unique_ptr<WritableFile> target =
      OpenTarget(line, WriteMode::kReplace);
  if (!target) {
    return true;
  }
  const bool written = target->Write(text);
  if (!target->Close() || !written) {
    ComplainOfFailedWrite(line.target);
    return false;
  }
  return true;
}

void Interpreter::Delete(std::string_view path) {
  const std::optional<std::string> absolute = paths_.Absolute(path);
  if (absolute && files_->Delete(*absolute)) {
    return;
  }
  // A link is there even when it leads nowhere.
  const bool there = absolute && files_->EntryStatus(*absolute).has_value();
  Complain(there ? "Could Not Delete " : "Could Not Find ", path);
}

void Interpreter::ChangeFolder(std::string_view path) {
  // "." and "NAME\.." are taken out by the names alone, as the desktop
  // system changes folders, and never above the drive's root.
  const std::optional<std::string> folder = paths_.Absolute(path);
  if (!folder || !files_->IsFolder(*folder)) {
    Complain("Cannot find the folder ", path);
    return;
  }
  paths_.MoveTo(*folder);
}

bool Interpreter::List(const BatchLine& line) {
  // The target is created or emptied before the walk, so it is there to be
  // listed when it lies in the scanned folder, and empty when nothing is
  // found.
  std::unique_ptr<WritableFile> target;
  if (line.redirection != Redirection::kNone) {
    // A disk map replaced by the next listing of the same disk is written
    // over, and the rest of the last one cut off once the listing is done:
    // most of its bytes are the same, and emptying a map of a million
    // lines first, with the flush the file system then makes of it, costs
    // a tenth of the listing itself.
    target = OpenTarget(line, WriteMode::kOverwrite);
    if (!target) {
      return true;
    }
  }
  std::optional<ListingWriter> out;
  if (target) {
    out.emplace(*target);
  } else {
    out.emplace(*console_);
  }
  out->ReportTo(count_, listed_);
  const std::optional<ListingRequest> request =
      ResolveListedPath(line.argument, paths_, *files_);
  WalkResult walk;
  ListingIndexes indexes;
  if (request) {
    if (target) indexes = OpenIndexes(line, *request, *target);
    walk = ListFolderTree(*request, folders_.get(), &*out, {}, indexes.walk);
  }
  bool written = out->Flush();
  if (written && target && line.redirection == Redirection::kReplace) {
    written = target->Truncate(static_cast<int64_t>(out->bytes()));
  }
  // While the map is still held: no other run's interpreter writes its
  // index meanwhile.
  if (written && walk.written && indexes.next) {
    indexes.next->Commit(VouchedVersion(line, *target));
  }
  written = (!target || target->Close()) && written;
  listed_ += out->lines();
  if (walk.passed_over > 0) {
    Complain(PassedOverText(walk.passed_over));
  }
  if (out->lines() == 0) {
    Complain("File Not Found");
  }
  // What standard output does not take is no part of a disk map.
  if (!written && target) {
    ComplainOfFailedWrite(line.target);
    return false;
  }
  return true;
}

Interpreter::ListingIndexes Interpreter::OpenIndexes(
    const BatchLine& line, const ListingRequest& request,
    const WritableFile& target) {
  ListingIndexes indexes;
  const std::optional<std::string> path = paths_.Absolute(line.target);
  if (!indexes_ || !path) return indexes;
  int& ordinal = listings_into_[*path];
  ordinal = line.redirection == Redirection::kAppend ? ordinal + 1 : 1;
  const int64_t started_ns = indexes_->NowNs();
  indexes.past =
      PastIndex::Open(indexes_->OpenLast(*path, ordinal), request.folder);
  const PastIndex* past = indexes.past.get();
  // The sums go on with the last index's key, for its placements to be
  // compared with this listing's.
  const uint64_t shown_key =
      past != nullptr ? past->shown_key() : NewShownKey();
  indexes.next = std::make_unique<IndexRecorder>(
      [this, path = *path, ordinal] {
        return indexes_->StartNext(path, ordinal);
      },
      past, IndexHeader{request.folder, started_ns, shown_key});
  const std::optional<FileVersion> map = target.Version();
  indexes.walk = {past, indexes.next.get(), shown_key,
                  past != nullptr && past->map() && past->map() == map};
  return indexes;
}

std::optional<FileVersion> Interpreter::VouchedVersion(
    const BatchLine& line, const WritableFile& target) const {
  if (line.redirection != Redirection::kReplace) return std::nullopt;
  const std::optional<FileVersion> version = target.Version();
  const int64_t settled_ns = indexes_->NowNs() - PastIndex::kClockGrainNs;
  if (!version || version->changed_ns > settled_ns ||
      version->modified_ns > settled_ns) {
    return std::nullopt;
  }
  return version;
}

std::unique_ptr<WritableFile> Interpreter::OpenTarget(const BatchLine& line,
                                                      WriteMode replace_mode) {
  const WriteMode mode = line.redirection == Redirection::kAppend
                             ? WriteMode::kAppend
                             : replace_mode;
  // Held while the command writes it: another run's interpreter that is
  // still at work on the same disk map is waited for, not written across.
  const OpenOptions options{.refuse_link = true, .lock = true};
  std::unique_ptr<WritableFile> file;
  if (const std::optional<std::string> path = paths_.Absolute(line.target)) {
    file = files_->OpenWritable(*path, mode, options);
    // The disk map and the completion signal lie in a folder others may
    // write to: a link planted at the target's name is removed, never
    // followed, and the file made in its place. Once only: a link planted
    // again in the meantime is refused.
    if (!file && IsLink(*path) && files_->Delete(*path)) {
      file = files_->OpenWritable(*path, mode, options);
    }
  }
  if (!file) {
    Complain("Cannot write to ", line.target);
  }
  return file;
}

bool Interpreter::IsLink(const std::string& path) {
  const std::optional<FileStatus> entry = files_->EntryStatus(path);
  return entry && entry->is_link;
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
  console_->WriteError(text);
}

}  // namespace trovane
