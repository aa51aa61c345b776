// What a run did with the entries it handled, told by the passes as they go:
// the wanted entries loaded, where the disk map scan found them, what the
// double-check repaired or removed and why, what could not be written, and
// what else the user must hear of (a wanted-entry list that cannot be read,
// a folder-list line that names no folder). The summary at the end of the
// run and the details of the problems message are made from it.
#ifndef TROVANE_SHELL_RUN_REPORT_H_
#define TROVANE_SHELL_RUN_REPORT_H_

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace trovane {

// The two entries the completion report writes into the Trovane databank
// at the end of every run: where the upkeep files lie. They come back into
// FileList.txt through the double-check, yet no user ever wanted them.
inline constexpr std::string_view kMustExistListKey =
    "List of files that Must Exist";
inline constexpr std::string_view kUpkeepFileKey =
    "Trovane root content upkeep file";

// True for either key, trimmed and in any case.
bool IsBookkeepingKey(std::string_view key);

// Why the double-check could not keep an entry whose location is a folder
// without its marker and whose kind is unknown: the one thing to change.
std::string FolderNeedsDirKind(std::string_view key);

class RunReport {
 public:
  // The wanted entries as loading found them, key=value texts. Entries
  // without a key, which nothing can record, and the bookkeeping entries
  // are not counted.
  void SetWanted(const std::vector<std::string>& items);
  // The wanted-entry list could not be read: `problem` says why, with the
  // file's name ("C:\Run\FileList.txt does not exist").
  void WantedListUnread(std::string problem);
  // Something the user must hear of at the end, one sentence.
  void Notice(std::string text);
  // `count` lines of the file `file` ran past the line limit and were
  // passed over; nothing when none did.
  void LinesPassedOver(std::string_view file, int count);

  // The disk map scan found `key` at `path`; `written` when the databank
  // now holds it.
  void Found(std::string_view key, std::string_view path, bool written);
  // The double-check repaired the entry `key`, located at `path`: `how`.
  void Repaired(std::string_view key, std::string_view path,
                std::string_view how);
  // The double-check could not keep the entry `key`, located at `path`,
  // because of `why`; `removed` when it left the databank.
  void Removed(std::string_view key, std::string_view path,
               std::string_view why, bool removed);
  // A write that failed and is no entry's own: the line `line` could not
  // be written to the file `file`.
  void NotWritten(std::string_view file, std::string_view line);

  // One line for each entry the double-check repaired, removed or could not
  // remove, saying why: the details of the problems message.
  const std::vector<std::string>& CheckLines() const { return check_lines_; }
  // True when every entry the double-check removed is gone from the
  // databank.
  bool EveryRemovalDone() const { return unremoved_.empty(); }
  // True when anything the run meant to write could not be.
  bool AnythingNotWritten() const;

  // The wanted entries, key=value texts, in loading order.
  const std::vector<std::string>& wanted() const { return wanted_; }
  // Empty unless the wanted-entry list could not be read.
  const std::string& wanted_list_problem() const {
    return wanted_list_problem_;
  }
  const std::vector<std::string>& notices() const { return notices_; }
  // One sentence for each write NotWritten was told of.
  const std::vector<std::string>& not_written() const { return not_written_; }

  // What became of an entry the double-check did not keep, or whose
  // recording failed, by upper-cased key.
  struct Fate {
    std::string key;     // as the databank holds it
    std::string detail;  // why, in a few words
  };
  const std::map<std::string, Fate>& removed() const { return removed_; }
  const std::map<std::string, Fate>& unremoved() const { return unremoved_; }
  const std::map<std::string, Fate>& unrecorded() const { return unrecorded_; }

 private:
  std::vector<std::string> wanted_;
  std::string wanted_list_problem_;
  std::vector<std::string> notices_;
  std::vector<std::string> not_written_;
  std::vector<std::string> check_lines_;
  std::map<std::string, Fate> removed_;
  std::map<std::string, Fate> unremoved_;
  std::map<std::string, Fate> unrecorded_;
};

}  // namespace trovane

#endif  // TROVANE_SHELL_RUN_REPORT_H_
