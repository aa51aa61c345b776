// The reading operations: Query, RemoveEntry, FindEntry, QueryByLineNumber.
#include <string>

#include "databank/data.h"
#include "platform/text.h"

namespace trovane {
namespace {

std::string ToText(int number) { return std::to_string(number); }

}  // namespace

std::string Data::Query(std::string_view name, std::string_view key) {
  if (key.empty()) return {};
  const std::string path = ResolveDatabankPath(name);
  const std::optional<int64_t> length = files_.Length(path);
  if (!length || *length == 0) return {};

  const std::string upper_key = UpperAscii(TrimBlanks(key));
  std::unique_ptr<InputFile> file = files_.OpenForReading(path, {});
  const int serial = file ? file->number() : 0;
  bool found = false;
  std::string value;
  if (file) {
    std::string line;
    while (!found && file->ReadLine(&line)) {
      if (IsEntryOf(line, upper_key)) {
        found = true;
        value = SplitEntry(line).value;
      }
    }
    file->Close();
  }
  // A key with a blank value is an absent key: its line goes.
  if (found && value.empty()) RemoveEntry(name, key);
  Report("Database " + std::string(name) + " serial " + ToText(serial) +
         " Query [" + std::string(key) + "] ==>> [" + value + "]");
  return value;
}

void Data::RemoveEntry(std::string_view name, std::string_view key) {
  Report("Database " + std::string(name) + " serial 0 RemoveEntry [" +
         std::string(key) + "]");
  Set(name, key, "");
}

std::string Data::FindEntry(std::string_view name, std::string_view text) {
  const std::string path = ResolveDatabankPath(name);
  const std::string_view wanted = TrimBlanks(text);
  std::string result;
  int serial = 0;
  if (files_.IsFile(path)) {
    std::unique_ptr<InputFile> file = files_.OpenForReading(path, {});
    if (file) {
      serial = file->number();
      std::string line;
      while (file->ReadLine(&line)) {
        const size_t equals = line.find('=');
        if (equals == std::string::npos) continue;
        const std::string_view value =
            std::string_view{line}.substr(equals + 1);
        if (ContainsNoCase(value, wanted)) {
          result = *EntryKey(line);
        }
      }
      file->Close();
    }
  }
  Report("Database " + std::string(name) + " serial " + ToText(serial) +
         " FindEntry [" + std::string(text) + "] ==>> [" + result + "]");
  return result;
}

DatabankEntry Data::QueryByLineNumber(std::string_view name,
                                      int32_t line_number) {
  DatabankEntry entry;
  const std::string path = ResolveDatabankPath(name);
  const std::optional<int64_t> length = files_.Length(path);
  if (!length || *length == 0) return entry;

  std::unique_ptr<InputFile> file = files_.OpenForReading(path, {});
  const int serial = file ? file->number() : 0;
  if (file) {
    std::string line;
    for (int64_t counter = 1; file->ReadLine(&line); ++counter) {
      if (counter != line_number) continue;
      const EntryParts parts = SplitEntry(line);
      if (line.find('=') != std::string::npos) {
        entry = {std::string(parts.key), std::string(parts.value)};
      }
      break;
    }
  }
  Report("Database " + std::string(name) + " serial " + ToText(serial) +
         " QueryByLineNumber [" + std::to_string(line_number) + "] ==>> [" +
         entry.Key + "=" + entry.Value + "]");
  if (file) file->Close();
  return entry;
}

}  // namespace trovane
