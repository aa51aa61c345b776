#include "analysis/old_entries.h"

#include <memory>
#include <string>

#include "databank/housekeeping.h"
#include "platform/text.h"
#include "platform/time_text.h"

namespace trovane {
namespace {

constexpr std::string_view kMarkerLine =
    "This file and directory was created by VEK Trovane.";

// Shows on P2 how many entries no longer need looking for.
void ShowResolved(Window& window) {
  ProgressBar& p2 = window.P2();
  p2.SetValue(p2.max() - static_cast<float>(window.FileList().ListCount()));
}

// Tests the wanted entry at `index` against the location the databank
// holds for it and drops it from FileList when that location still holds.
void CheckEntry(Window& window, int index) {
  FileSystem& files = window.services().files;
  const std::string item = window.FileList().Item(index);
  const EntryParts parts = SplitEntry(item);
  const std::string correct(parts.value);
  window.Filename().SetCaption(parts.key);
  bool rechecked = false;
  std::string stored =
      window.services().data.Query(kTrovaneDatabank, parts.key);
  if (stored.empty()) return;
  for (;;) {
    const std::string found = files.Probe(stored);
    const bool named = ContainsNoCase(stored, correct);
    window.LogActivity("");
    window.LogActivity("Filename from database = " + stored);
    window.LogActivity("Tested filename = " + found);
    window.LogActivity("Correct filename = " + correct);
    window.LogActivity(std::string("OK = ") +
                       TruthText(named && !found.empty()));
    if (!named) {
      window.LogActivity("Going to recheck");
      return;
    }
    if (!found.empty()) {
      window.FileList().RemoveItem(index);
      window.LogActivity("Not going to look for it");
      ShowResolved(window);
      return;
    }
    if (rechecked) return;
    // The location may be a folder, which only its marker can show.
    // The marker cannot be made when `stored` is no existing folder. A
    // link planted at the marker's name is never written through.
    files.WriteLines(InFolder(stored, kFolderMarkerName), WriteMode::kAppend,
                     {.refuse_link = true}, {kMarkerLine});
    window.LogActivity("Testing if directory");
    rechecked = true;
    stored += kFolderMarkerName;
  }
}

}  // namespace

void CheckOldEntries(Window& window) {
  Data& data = window.services().data;
  // The last run's listing read the folders the old entries lie in.
  window.services().files.LearnFolderNamesFrom(
      InFolder(window.temporary_folder(), kDiskMapName));
  const int loaded = window.FileList().ListCount();
  window.P2().SetMin(0);
  window.P2().SetMax(static_cast<float>(loaded));
  ShowResolved(window);
  // Spelt as the window and the activity log have always spelt them.
  window.DoingWhat().SetCaption("Innitializing database:");
  window.LogActivity("Innitializing database");
  window.Filename().SetCaption(kTrovaneDatabank);
  data.EnsureDatabank(kTrovaneDatabank);
  const LocalTime now = window.services().clock.Now().time;
  const std::string stamp = TimeText(now) + " " + DateText(now);
  if (!data.Set(kTrovaneDatabank, kStampKey, stamp)) {
    window.report().NotWritten(kTrovaneDatabank,
                               std::string(kStampKey) + "=" + stamp);
  }
  window.DoingWhat().SetCaption("Checking old entries:");
  window.LogActivity("Checking old entries:");

  // From the last item to the first, so that a removal does not move the
  // items still to be visited.
  for (int index = window.FileList().ListCount() - 1; index >= 0; --index) {
    if (ContainsNoCase(window.FileList().Item(index), kStampKey)) continue;
    CheckEntry(window, index);
    window.DoEvents();
  }

  window.DoingWhat().SetCaption("");
  window.Filename().SetCaption("");
  const ListBox& remaining = window.FileList();
  if (remaining.ListCount() == 0) return;
  window.LogActivity("");
  window.LogActivity("Still have " + std::to_string(remaining.ListCount()) +
                     " entries to look for:");
  for (const std::string& item : remaining.items()) {
    window.LogActivity(" - " + item);
  }
  window.LogActivity("");
}

}  // namespace trovane
