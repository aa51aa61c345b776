// The wanted-entry list "\FileList.txt" in the run path: key=value lines,
// the key under which a VEK program looks a location up and the name a
// valid location must contain. It is read field by field, comma-delimited,
// into FileList, which from then on is the list of entries still to be
// found.
#include <memory>
#include <string>

#include "analysis/analysis_pass.h"
#include "databank/entry_line.h"
#include "databank/housekeeping.h"

namespace trovane {

void AnalysisPass::LoadWantedEntries() {
  window_.LogActivity("About to begin analisys");
  window_.DoingWhat().SetCaption("Loading file list...");
  window_.LogActivity("Loading file list:");
  std::unique_ptr<InputFile> list =
      files_.OpenForReading(InFolder(window_.run_path(), kWantedListName), {});
  window_.P1().SetMin(1);

  read_count_ = 0;
  std::string field;
  for (;;) {
    ++read_count_;
    // The field at which the file ends is taken too: a list whose last line
    // has no line break still has a last entry.
    if (!list || !list->ReadField(&field)) break;
    const std::optional<std::string> key = EntryKey(field);
    if (!key || IsHousekeepingKey(*key)) continue;
    window_.LogActivity("- " + field);
    window_.FileList().AddItem(field);
    window_.DoEvents();
  }
  if (list) list->Close();
  window_.set_wanted_loaded(window_.FileList().ListCount());
}

}  // namespace trovane
