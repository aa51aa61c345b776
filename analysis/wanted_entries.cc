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
  std::unique_ptr<InputFile> list =
      files.OpenForReading(InFolder(window.run_path(), kWantedListName), {});
  window.P1().SetMin(1);

  int read_count = 0;
  std::string field;
  for (;;) {
    ++read_count;
    // The field at which the file ends is taken too: a list whose last line
    // has no line break still has a last entry.
    if (!list || !list->ReadField(&field)) break;
    const std::optional<std::string> key = EntryKey(field);
    if (!key || IsHousekeepingKey(*key)) continue;
    window.LogActivity("- " + field);
    window.FileList().AddItem(field);
    window.DoEvents();
  }
  if (list) list->Close();
  window.set_wanted_loaded(window.FileList().ListCount());
  return read_count;
}

}  // namespace trovane
