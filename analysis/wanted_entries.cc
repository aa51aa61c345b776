#include "analysis/wanted_entries.h"

#include <memory>
#include <string>

#include "databank/entry_line.h"
#include "databank/housekeeping.h"

namespace trovane {

int LoadWantedEntries(Window& window) {
  FileSystem& files = window.services().files;
  // Spelt as the activity log has always spelt it.
  window.LogActivity("About to begin analisys");
  window.DoingWhat().SetCaption("Loading file list...");
  window.LogActivity("Loading file list:");
  const std::string list_path = InFolder(window.run_path(), kWantedListName);
  std::unique_ptr<InputFile> list = files.OpenForReading(list_path, {});
  if (!list) {
    // The run goes on all the same: the databank is still refreshed and
    // double-checked. Only the user must hear why nothing was looked for.
    const std::optional<FileStatus> status = files.Status(list_path);
    window.report().WantedListUnread(list_path + (!status ? " does not exist"
                                                  : status->is_folder
                                                      ? " is a folder"
                                                      : " cannot be read"));
  }
  if (list) {
    list->SkipByteOrderMark();
    list->LimitLines(kLongestLine);
  }
  window.P1().SetMin(1);

  int read_count = 0;
  int overlong = 0;
  std::string field;
  for (;;) {
    ++read_count;
    // The field at which the file ends is taken too: a list whose last line
    // has no line break still has a last entry.
    if (!list || !list->ReadField(&field)) break;
    if (list->overlong()) {
      ++overlong;
      continue;
    }
    const std::optional<std::string> key = EntryKey(field);
    if (!key || IsHousekeepingKey(*key)) continue;
    window.LogActivity("- " + field);
    window.FileList().AddItem(field);
    window.DoEvents();
  }
  if (list) list->Close();
  window.report().LinesPassedOver(list_path, overlong);
  window.report().SetWanted(window.FileList().items());
  return read_count;
}

}  // namespace trovane
