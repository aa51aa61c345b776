#include "databank/rewrite.h"

#include <memory>

#include "databank/entry_line.h"
#include "platform/text.h"

namespace trovane {
namespace {

// A staging file is made new, never through a link, and never in the
// place of anything that is there.
constexpr OpenOptions kPrivate{.refuse_link = true};

// Writes the lines of the old content that stay into a new staging file;
// true when all of them were written.
bool CopyKeptLines(FileSystem& files, std::string_view path,
                   const std::string& staging, std::string_view upper_key,
                   SetOutcome* outcome) {
  std::unique_ptr<WritableFile> created =
      files.OpenWritable(staging, WriteMode::kCreateNew, kPrivate);
  std::unique_ptr<OutputFile> rewritten =
      created ? std::make_unique<OutputFile>(std::move(created)) : nullptr;
  std::unique_ptr<InputFile> old = files.OpenForReading(path, {});
  if (rewritten) outcome->rewritten_serial = rewritten->number();
  if (old) outcome->old_serial = old->number();
  if (!rewritten || !old) return false;
  if (old->SkipByteOrderMark()) rewritten->Write(kByteOrderMark);
  std::string line;
  while (old->ReadLine(&line)) {
    switch (FateOnRewrite(line, upper_key)) {
      case LineFate::kKeep:
        rewritten->WriteLine(line);
        break;
      case LineFate::kDropReplaced:
        outcome->found = true;
        break;
      case LineFate::kDrop:
        break;
    }
  }
  // Content that could not all be read must not take the databank's place.
  outcome->read_whole = !old->failed();
  old->Close();
  return rewritten->Close() && outcome->read_whole;
}

// Adds the entry's line at the end of the staging file, which is made new
// when there was no old content to copy.
bool AppendEntry(FileSystem& files, const std::string& staging, bool copied,
                 std::string_view key, std::string_view value,
                 SetOutcome* outcome) {
  std::unique_ptr<WritableFile> opened = files.OpenWritable(
      staging, copied ? WriteMode::kAppend : WriteMode::kCreateNew, kPrivate);
  if (!opened) return false;
  OutputFile appended(std::move(opened));
  outcome->appended_serial = appended.number();
  appended.WriteLine(EntryLine(key, value));
  return appended.Close();
}

// Puts a complete staging file in the databank's place, with the old
// file's permissions and owner; anything else is thrown away.
bool Commit(FileSystem& files, const std::string& staging,
            std::string_view path, bool existed, bool complete) {
  if (complete && existed) files.CopyAttributes(path, staging);
  if (complete && files.Rename(staging, path)) return true;
  files.Delete(staging);
  return false;
}

}  // namespace

std::string EntryLine(std::string_view key, std::string_view value) {
  return std::string(TrimBlanks(key)) + "=" + std::string(TrimBlanks(value));
}

SetOutcome AppendToDatabank(FileSystem& files, FileNumbers& numbers,
                            std::string_view path, int64_t length,
                            std::string_view key, std::string_view value) {
  SetOutcome outcome;
  {
    // The rewrite would hold its new and its old content open at once.
    const FileNumbers::Lease rewritten = numbers.Take(nullptr);
    const FileNumbers::Lease old = numbers.Take(nullptr);
    outcome.rewritten_serial = rewritten.number();
    outcome.old_serial = old.number();
  }
  std::unique_ptr<WritableFile> file =
      files.OpenWritable(path, WriteMode::kAppend, {.refuse_link = true});
  if (!file) return outcome;
  outcome.appended_serial = file->number();
  const bool written = file->Write(EntryLine(key, value) + "\r\n");
  if (!written) file->Truncate(length);
  outcome.written = file->Close() && written;
  return outcome;
}

std::string StagingPath(std::string_view path) {
  const size_t last = path.rfind('\\');
  const size_t name_start = last == std::string_view::npos ? 0 : last + 1;
  std::string staging(path.substr(0, name_start));
  staging += ".";
  staging += path.substr(name_start);
  staging += ".trovane-new";
  return staging;
}

SetOutcome RewriteDatabank(FileSystem& files, std::string_view path,
                           std::string_view key, std::string_view value) {
  SetOutcome outcome;
  const std::string staging = StagingPath(path);
  files.Delete(staging);  // left by a rewrite that died
  const std::optional<FileStatus> entry = files.EntryStatus(path);
  // Anything but an ordinary file at the name (a folder, a FIFO, a device,
  // a link planted since it was followed) is neither read nor replaced.
  if (entry && !entry->is_file) return outcome;
  const bool existed = entry.has_value();
  bool complete = true;
  if (existed) {
    complete = CopyKeptLines(files, path, staging, UpperAscii(TrimBlanks(key)),
                             &outcome);
  }
  if (!existed) outcome.read_whole = true;
  if (!value.empty()) {
    complete =
        AppendEntry(files, staging, existed, key, value, &outcome) && complete;
  }
  // Removing a key from a databank that is not there changes nothing.
  if (existed || !value.empty()) {
    outcome.written = Commit(files, staging, path, existed, complete);
  }
  return outcome;
}

}  // namespace trovane
