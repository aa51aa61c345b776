// The old-entry check: the Trovane databank is made sure of and stamped,
// and every wanted entry whose stored location still exists and still
// carries its correct file name leaves FileList. The rest is reported.
#include <memory>
#include <string>

#include "analysis/analysis_pass.h"
#include "databank/housekeeping.h"
#include "platform/text.h"
#include "platform/time_text.h"

namespace trovane {
namespace {

constexpr std::string_view kMarkerLine =
    "This file and directory was created by VEK Trovane.";

// Adds the marker line to the marker file of `folder`, creating the file;
// it cannot be made when `folder` is no existing folder. A link planted at
// the marker's name is never written through.
void AppendFolderMarker(FileSystem& files, const std::string& folder) {
  std::unique_ptr<OutputFile> marker = files.OpenForAppending(
      InFolder(folder, kFolderMarkerName), {.refuse_link = true});
  if (!marker) return;
  marker->WriteLine(kMarkerLine);
  marker->Close();
}

}  // namespace

void AnalysisPass::CheckEntry(int index) {
  const std::string item = window_.FileList().Item(index);
  const EntryParts parts = SplitEntry(item);
  const std::string correct(parts.value);
  window_.Filename().SetCaption(parts.key);
  bool rechecked = false;
  std::string stored = data_.Query(kTrovaneDatabank, parts.key);
  if (stored.empty()) return;
  for (;;) {
    const std::string found = files_.Probe(stored);
    const bool named = ContainsNoCase(stored, correct);
    window_.LogActivity("");
    window_.LogActivity("Filename from database = " + stored);
    window_.LogActivity("Tested filename = " + found);
    window_.LogActivity("Correct filename = " + correct);
    window_.LogActivity(std::string("OK = ") +
                        TruthText(named && !found.empty()));
    if (!named) {
      window_.LogActivity("Going to recheck");
      return;
    }
    if (!found.empty()) {
      window_.FileList().RemoveItem(index);
      window_.LogActivity("Not going to look for it");
      ShowResolved();
      return;
    }
    if (rechecked) return;
    // The location may be a folder, which only its marker can show.
    AppendFolderMarker(files_, stored);
    window_.LogActivity("Testing if directory");
    rechecked = true;
    stored += kFolderMarkerName;
  }
}

void AnalysisPass::CheckOldEntries() {
  const int loaded = window_.FileList().ListCount();
  window_.P2().SetMin(0);
  window_.P2().SetMax(static_cast<float>(loaded));
  ShowResolved();
  window_.DoingWhat().SetCaption("Innitializing database:");
  window_.LogActivity("Innitializing database");
  window_.Filename().SetCaption(kTrovaneDatabank);
  data_.EnsureDatabank(kTrovaneDatabank);
  const LocalTime now = clock_.Now().time;
  data_.Set(kTrovaneDatabank, kStampKey, TimeText(now) + " " + DateText(now));
  window_.DoingWhat().SetCaption("Checking old entries:");
  window_.LogActivity("Checking old entries:");

  // From the last item to the first, so that a removal does not move the
  // items still to be visited.
  for (int index = window_.FileList().ListCount() - 1; index >= 0; --index) {
    if (ContainsNoCase(window_.FileList().Item(index), kStampKey)) continue;
    CheckEntry(index);
    window_.DoEvents();
  }

  window_.DoingWhat().SetCaption("");
  window_.Filename().SetCaption("");
  const ListBox& remaining = window_.FileList();
  if (remaining.ListCount() == 0) return;
  window_.LogActivity("");
  window_.LogActivity("Still have " + std::to_string(remaining.ListCount()) +
                      " entries to look for:");
  for (const std::string& item : remaining.items()) {
    window_.LogActivity(" - " + item);
  }
  window_.LogActivity("");
}

}  // namespace trovane
