// Entry lines of databank files and of the lists in the same format:
// key "=" value, the key being the trimmed text before the first "=" and the
// value the trimmed text after it. Lines without "=" are comments.
#ifndef TROVANE_DATABANK_ENTRY_LINE_H_
#define TROVANE_DATABANK_ENTRY_LINE_H_

#include <optional>
#include <string>
#include <string_view>

namespace trovane {

// The key of an entry line; nothing for a line without "=".
std::optional<std::string> EntryKey(std::string_view line);

// The trimmed key and value of a line; both empty for a line without "=".
struct EntryParts {
  std::string_view key;
  std::string_view value;
};
EntryParts SplitEntry(std::string_view line);

// True when the line is an entry of `upper_key` (trimmed, upper-cased).
bool IsEntryOf(std::string_view line, std::string_view upper_key);

// What a rewrite of a databank does with one of its lines.
enum class LineFate {
  kKeep,          // written back unchanged
  kDrop,          // an empty line, a line starting with "=", a blank value
  kDropReplaced,  // an entry of the key being set
};
LineFate FateOnRewrite(std::string_view line, std::string_view upper_key);

}  // namespace trovane

#endif  // TROVANE_DATABANK_ENTRY_LINE_H_
