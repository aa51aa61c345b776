#include "databank/entry_line.h"

#include "platform/text.h"

namespace trovane {

std::optional<std::string> EntryKey(std::string_view line) {
  const size_t equals = line.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  return std::string(TrimBlanks(line.substr(0, equals)));
}

EntryParts SplitEntry(std::string_view line) {
  const size_t equals = line.find('=');
  if (equals == std::string_view::npos) return {};
  return {TrimBlanks(line.substr(0, equals)),
          TrimBlanks(line.substr(equals + 1))};
}

bool IsEntryOf(std::string_view line, std::string_view upper_key) {
  const size_t equals = line.find('=');
  if (equals == std::string_view::npos) return false;
  const std::string_view key = TrimBlanks(line.substr(0, equals));
  return key.size() == upper_key.size() && UpperAscii(key) == upper_key;
}

LineFate FateOnRewrite(std::string_view line, std::string_view upper_key) {
  const std::string_view trimmed = TrimBlanks(line);
  const size_t equals = line.find('=');
  if (trimmed.empty() || trimmed.front() == '=') return LineFate::kDrop;
  if (equals == std::string_view::npos) return LineFate::kKeep;  // a comment
  if (IsEntryOf(line, upper_key)) return LineFate::kDropReplaced;
  // An entry whose value is blank is an absent entry. A value that merely
  // ends in "=" is a value like any other and stays.
  if (TrimBlanks(line.substr(equals + 1)).empty()) return LineFate::kDrop;
  return LineFate::kKeep;
}

}  // namespace trovane
