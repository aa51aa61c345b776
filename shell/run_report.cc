#include "shell/run_report.h"

#include "databank/entry_line.h"
#include "databank/run_files.h"
#include "platform/input_file.h"
#include "platform/text.h"

namespace trovane {
namespace {

// Why a change to the Trovane databank did not happen.
std::string DatabankUnwritable() {
  return std::string(kTrovaneDatabank) + " could not be written";
}

}  // namespace

bool IsBookkeepingKey(std::string_view key) {
  const std::string_view trimmed = TrimBlanks(key);
  return EqualsNoCase(trimmed, kMustExistListKey) ||
         EqualsNoCase(trimmed, kUpkeepFileKey);
}

std::string FolderNeedsDirKind(std::string_view key) {
  return "a folder; add " + std::string(key) +
         "=DIR to MustExist.txt to keep it";
}

void RunReport::SetWanted(const std::vector<std::string>& items) {
  wanted_.clear();
  for (const std::string& item : items) {
    const std::optional<std::string> key = EntryKey(item);
    if (key && !key->empty() && !IsBookkeepingKey(*key)) {
      wanted_.push_back(item);
    }
  }
}

void RunReport::WantedListUnread(std::string problem) {
  wanted_list_problem_ = std::move(problem);
}

void RunReport::Notice(std::string text) {
  notices_.push_back(std::move(text));
}

void RunReport::LinesPassedOver(std::string_view file, int count) {
  if (count == 0) return;
  Notice(std::string(file) + ": " + std::to_string(count) +
         (count == 1 ? " line" : " lines") + " longer than " +
         std::to_string(kLongestLine >> 10) + " KiB passed over.");
}

void RunReport::Found(std::string_view key, std::string_view path,
                      bool written) {
  const std::string upper = UpperAscii(TrimBlanks(key));
  if (written) {
    unrecorded_.erase(upper);
    return;
  }
  unrecorded_[upper] = {
      std::string(TrimBlanks(key)),
      "found at " + std::string(path) + "; " + DatabankUnwritable()};
}

void RunReport::Repaired(std::string_view key, std::string_view path,
                         std::string_view how) {
  check_lines_.push_back(std::string(key) + " (" + std::string(path) +
                         ") repaired: " + std::string(how) + ".");
}

void RunReport::Removed(std::string_view key, std::string_view path,
                        std::string_view why, bool removed) {
  const std::string upper = UpperAscii(TrimBlanks(key));
  const Fate fate{std::string(key), std::string(why)};
  if (removed) {
    removed_[upper] = fate;
    check_lines_.push_back(std::string(key) + " (" + std::string(path) +
                           ") removed: " + std::string(why) + ".");
    return;
  }
  unremoved_[upper] = fate;
  check_lines_.push_back(std::string(key) + " (" + std::string(path) +
                         ") could not be removed: " + std::string(why) + "; " +
                         DatabankUnwritable() + ".");
}

void RunReport::NotWritten(std::string_view file, std::string_view line) {
  not_written_.push_back("Not written to " + std::string(file) + ": " +
                         std::string(line) + ".");
}

bool RunReport::AnythingNotWritten() const {
  return !not_written_.empty() || !unremoved_.empty() || !unrecorded_.empty();
}

}  // namespace trovane
