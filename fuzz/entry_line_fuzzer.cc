// Entry lines of the databank: how a line splits into key and value, which
// key it is an entry of, and what a rewrite does with it. The input is a
// line (a databank line holds no line feed) and, after the first line feed,
// a key the program might look for.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "databank/entry_line.h"
#include "fuzz/property.h"
#include "platform/text.h"

namespace trovane::fuzz {
namespace {

bool HasLowerCase(std::string_view text) {
  return text.find_first_of("abcdefghijklmnopqrstuvwxyz") !=
         std::string_view::npos;
}

void CheckSplit(std::string_view line) {
  const size_t equals = line.find('=');
  const bool is_entry = equals != std::string_view::npos;
  const std::optional<std::string> key = EntryKey(line);
  const EntryParts parts = SplitEntry(line);
  Require(key.has_value() == is_entry,
          "a line has a key exactly when it has =");
  if (!is_entry) {
    Require(parts.key.empty() && parts.value.empty(),
            "a comment line has neither key nor value");
    return;
  }
  Require(*key == parts.key, "EntryKey agrees with SplitEntry");
  Require(parts.key.find('=') == std::string_view::npos, "a key holds no =");
  Require(!HasOuterBlank(parts.key) && !HasOuterBlank(parts.value),
          "key and value have no blank at either end");
  // The line is blanks, the key, blanks, "=", blanks, the value, blanks.
  const std::string_view before = line.substr(0, equals);
  const std::string_view after = line.substr(equals + 1);
  if (parts.key.empty()) {
    Require(AllBlanks(before), "an empty key stands for blanks before =");
  } else {
    Require(LiesWithin(parts.key, before), "the key lies before the first =");
    const size_t start = parts.key.data() - before.data();
    Require(AllBlanks(before.substr(0, start)) &&
                AllBlanks(before.substr(start + parts.key.size())),
            "only blanks stand around the key");
  }
  if (parts.value.empty()) {
    Require(AllBlanks(after), "an empty value stands for blanks after =");
  } else {
    Require(LiesWithin(parts.value, after), "the value lies after the =");
    const size_t start = parts.value.data() - after.data();
    Require(AllBlanks(after.substr(0, start)) &&
                AllBlanks(after.substr(start + parts.value.size())),
            "only blanks stand around the value");
  }
}

// What a rewrite that sets `upper_key` does with `line`, told from the
// line's parts: the entry of that key goes (it is written anew), so do
// blank lines, lines without a key and entries with a blank value; every
// other line stays as it is.
LineFate ExpectedFate(std::string_view line, std::string_view upper_key) {
  const EntryParts parts = SplitEntry(line);
  if (line.find('=') == std::string_view::npos) {
    return AllBlanks(line) ? LineFate::kDrop : LineFate::kKeep;
  }
  if (parts.key.empty()) return LineFate::kDrop;
  if (UpperAscii(parts.key) == upper_key) return LineFate::kDropReplaced;
  return parts.value.empty() ? LineFate::kDrop : LineFate::kKeep;
}

void CheckKeyMatch(std::string_view line, std::string_view wanted) {
  const bool is_entry = line.find('=') != std::string_view::npos;
  const EntryParts parts = SplitEntry(line);
  const std::string upper_key = UpperAscii(parts.key);

  Require(IsEntryOf(line, upper_key) == is_entry,
          "an entry is an entry of its own key, upper-cased");
  Require(!IsEntryOf(line, wanted) || !HasLowerCase(wanted),
          "only an upper-cased key is matched");
  Require(IsEntryOf(line, wanted) == (is_entry && upper_key == wanted),
          "IsEntryOf compares the upper-cased key");
  Require(FateOnRewrite(line, upper_key) == ExpectedFate(line, upper_key),
          "the fate of a line on rewriting its own key");
  Require(FateOnRewrite(line, wanted) == ExpectedFate(line, wanted),
          "the fate of a line on rewriting another key");
  Require((FateOnRewrite(line, upper_key) == LineFate::kDropReplaced) ==
              (is_entry && !parts.key.empty()),
          "a line is replaced exactly when it has a non-empty key");
}

// The line a rewrite appends for the entry reads back as it was written.
void CheckRoundTrip(std::string_view line) {
  const EntryParts parts = SplitEntry(line);
  if (parts.key.empty() || parts.value.empty()) return;
  const std::string written =
      std::string(parts.key) + "=" + std::string(parts.value);
  const EntryParts read = SplitEntry(written);
  Require(read.key == parts.key && read.value == parts.value,
          "an entry written as KEY=VALUE reads back the same");
  Require(
      FateOnRewrite(written, UpperAscii(parts.key)) == LineFate::kDropReplaced,
      "a written entry is replaced when its key is set again");
}

}  // namespace
}  // namespace trovane::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const size_t line_end = input.find('\n');
  const std::string_view line = input.substr(0, line_end);
  const std::string_view wanted = line_end == std::string_view::npos
                                      ? std::string_view()
                                      : input.substr(line_end + 1);
  trovane::fuzz::CheckSplit(line);
  trovane::fuzz::CheckKeyMatch(line, wanted);
  trovane::fuzz::CheckRoundTrip(line);
  return 0;
}
