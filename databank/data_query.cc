// The reading operations: Query, RemoveEntry, FindEntry, QueryByLineNumber.
// A databank is read once and then answered from memory for as long as the
// file stays the same; the serials and log lines are those of a read.
#include <string>

#include "databank/data.h"
#include "platform/text.h"

namespace trovane {
namespace {

// Reads a file to its end into `bytes`; false when a read failed on the
// way, which is not the end of the file.
bool ReadWhole(InputFile& file, std::string* bytes) {
  std::string chunk(size_t{1} << 16, '\0');
  while (const size_t n = file.ReadBytes(chunk.data(), chunk.size())) {
    bytes->append(chunk, 0, n);
  }
  return !file.failed();
}

}  // namespace

Data::Reading Data::Read(const std::string& path, const FileVersion& version) {
  Reading reading;
  if (const DatabankLines* cached = cache_.Find(path, version)) {
    reading.number = numbers_.Take(nullptr);
    reading.lines = cached;
    return reading;
  }
  // `path` is where any link led already: a link planted there since is
  // not followed.
  reading.file = files_.OpenForReading(path, {.refuse_link = true});
  if (!reading.file) return reading;
  std::string bytes;
  if (ReadWhole(*reading.file, &bytes)) {
    reading.lines =
        &cache_.Store(path, version, DatabankLines(std::move(bytes)));
  } else {
    reading.partial.emplace(std::move(bytes));
    reading.lines = &*reading.partial;
  }
  return reading;
}

std::optional<std::string> Data::Locate(const std::string& path,
                                        FileStatus* status_out) {
  const std::optional<FileStatus> entry = files_.EntryStatus(path);
  if (!entry) return std::nullopt;
  if (!entry->is_link) {
    if (!entry->is_file) return std::nullopt;
    *status_out = *entry;
    return path;
  }
  std::optional<std::string> target = files_.LinkTarget(path);
  if (!target) return std::nullopt;
  const std::optional<FileStatus> status = files_.Status(*target);
  if (!status || !status->is_file) return std::nullopt;
  *status_out = *status;
  return target;
}

DatabankLines* Data::CachedLines(const std::string& path,
                                 FileStatus* status_out) {
  const std::optional<FileStatus> status = files_.Status(path);
  if (!status || !status->is_file) return nullptr;
  *status_out = *status;
  // A read that failed on the way has put nothing in the cache.
  Read(path, status->version);
  return cache_.Find(path, status->version);
}

std::string Data::Query(std::string_view name, std::string_view key) {
  if (key.empty()) return {};
  FileStatus status;
  const std::optional<std::string> file =
      Locate(ResolveDatabankPath(name), &status);
  if (!file || status.length == 0) return {};

  const std::string upper_key = UpperAscii(TrimBlanks(key));
  bool found = false;
  std::string value;
  int serial = 0;
  {
    const Reading reading = Read(*file, status.version);
    serial = reading.serial();
    if (reading.lines) {
      if (const std::optional<size_t> line =
              reading.lines->FirstOf(upper_key)) {
        found = true;
        value = SplitEntry(reading.lines->Line(*line)).value;
      }
    }
  }
  // A key with a blank value is an absent key: its line goes.
  if (found && value.empty()) RemoveEntry(name, key);
  Report("Database " + std::string(name) + " serial " + std::to_string(serial) +
         " Query [" + std::string(key) + "] ==>> [" + value + "]");
  return value;
}

bool Data::RemoveEntry(std::string_view name, std::string_view key) {
  Report("Database " + std::string(name) + " serial 0 RemoveEntry [" +
         std::string(key) + "]");
  return Set(name, key, "");
}

std::string Data::FindEntry(std::string_view name, std::string_view text) {
  const std::string_view wanted = TrimBlanks(text);
  std::string result;
  int serial = 0;
  FileStatus status;
  if (const std::optional<std::string> file =
          Locate(ResolveDatabankPath(name), &status)) {
    const Reading reading = Read(*file, status.version);
    serial = reading.serial();
    // The last line whose value holds the text wins.
    if (reading.lines) {
      if (const std::optional<size_t> line =
              reading.lines->LastContaining(wanted)) {
        result = *EntryKey(reading.lines->Line(*line));
      }
    }
  }
  Report("Database " + std::string(name) + " serial " + std::to_string(serial) +
         " FindEntry [" + std::string(text) + "] ==>> [" + result + "]");
  return result;
}

DatabankEntry Data::QueryByLineNumber(std::string_view name,
                                      int32_t line_number) {
  DatabankEntry entry;
  FileStatus status;
  const std::optional<std::string> file =
      Locate(ResolveDatabankPath(name), &status);
  if (!file || status.length == 0) return entry;

  const Reading reading = Read(*file, status.version);
  if (reading.lines && line_number >= 1 &&
      static_cast<size_t>(line_number) <= reading.lines->size()) {
    const std::string_view line = reading.lines->Line(line_number - 1);
    if (line.find('=') != std::string_view::npos) {
      const EntryParts parts = SplitEntry(line);
      entry = {std::string(parts.key), std::string(parts.value)};
    }
  }
  // Logged while the file is still open, as it is read.
  Report("Database " + std::string(name) + " serial " +
         std::to_string(reading.serial()) + " QueryByLineNumber [" +
         std::to_string(line_number) + "] ==>> [" + entry.Key + "=" +
         entry.Value + "]");
  return entry;
}

}  // namespace trovane
