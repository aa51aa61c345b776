#include "search/double_check.h"

#include <memory>

#include "databank/housekeeping.h"
#include "platform/text.h"

namespace trovane {
namespace {

// Creates what the entry's kind says should be at `path`; true when it is
// there afterwards. `kind` is upper-case: DSP, CFP or DIR.
bool Repair(Window& window, const std::string& kind, const std::string& path) {
  FileSystem& files = window.services().files;
  Data& data = window.services().data;
  // A file that is there but fails the name test is somebody else's file:
  // a repair creates what is missing and never rewrites what exists.
  if (kind == "DSP") {
    window.LogActivity("Attempting to create databank");
    const std::string file = data.ResolveDatabankPath(path);
    if (files.IsFile(file)) return false;
    data.EnsureDatabank(path);
    return !files.Probe(file).empty();
  }
  if (kind == "CFP") {
    window.LogActivity("Attempting to create CFP file");
    const std::string file = data.ResolveDatabankPath(path);
    if (files.IsFile(file)) return false;
    // Never written through a link planted at its name.
    files.WriteLines(file, WriteMode::kReplace, {.refuse_link = true},
                     {"--- Blank entry", ""});
    return !files.Probe(file).empty();
  }
  window.LogActivity("Attempting to create directory");
  files.MakeFolder(path);
  files.WriteLines(
      data.ResolveDatabankPath(InFolder(path, kFolderMarkerName)),
      WriteMode::kReplace, {.refuse_link = true},
      {"This file was created by VEK Trovane, please do not delete it"});
  return !files
              .Probe(data.ResolveDatabankPath(
                  InFolder(path, kUpperFolderMarkerName)))
              .empty();
}

}  // namespace

std::string ShortestDistinguishingTail(Data& data, const std::string& list,
                                       std::string_view path) {
  size_t start = path.rfind('\\');
  for (;;) {
    const bool whole = start == std::string_view::npos;
    const std::string_view tail = whole ? path : path.substr(start + 1);
    if (data.FindEntry(list, tail).empty() || whole) return std::string(tail);
    start = start == 0 ? std::string_view::npos : path.rfind('\\', start - 1);
  }
}

bool DoubleCheck(Window& window) {
  FileSystem& files = window.services().files;
  Data& data = window.services().data;
  const std::string wanted_list = InFolder(window.run_path(), kWantedListName);
  const std::string must_exist = InFolder(window.run_path(), kMustExistName);
  bool problems = false;
  // Spelt as the window and the activity log have always spelt them.
  window.DoingWhat().SetCaption("Doubble-checking entry:");
  window.LogActivity("Doubble-checking:");

  // The key of an entry whose removal was attempted at this line number: if
  // it is still there, the databank could not be rewritten, and the walk
  // moves on instead of trying the same line for ever.
  std::string removed_here;
  for (int32_t line_number = 1;;) {
    window.LogActivity("--- Serial number: " + std::to_string(line_number));
    const DatabankEntry entry =
        data.QueryByLineNumber(kTrovaneDatabank, line_number);
    window.LogActivity("Checking value = " + entry.Key);
    if (entry.Key.empty()) break;
    if (IsHousekeepingKey(entry.Key) || entry.Key == removed_here) {
      removed_here.clear();
      ++line_number;
      continue;
    }
    std::string path = entry.Value;
    window.LogActivity("Filename from Trovane databank = " + path);
    window.Filename().SetCaption(entry.Key);

    std::string correct = data.Query(wanted_list, entry.Key);
    if (correct.empty()) {
      correct = ShortestDistinguishingTail(data, wanted_list, path);
      data.Set(wanted_list, entry.Key, correct);
    }
    if (ContainsNoCase(entry.Key, "interface") &&
        data.Query(must_exist, entry.Key).empty()) {
      data.Set(must_exist, entry.Key, "CFP");
    }
    if (!correct.empty()) window.LogActivity("Correct filename = " + correct);

    // A folder is tested through its marker.
    if (files.Probe(path).empty()) path += kFolderMarkerName;
    const bool named = ContainsNoCase(path, correct);
    const bool exists = !files.Probe(path).empty();
    window.LogActivity(std::string("Checks up = ") + TruthText(named));
    window.LogActivity(std::string("Exists = ") + TruthText(exists));

    bool keep = named && exists;
    if (!keep) {
      const std::string_view trimmed = TrimBlanks(path);
      if (EndsWithNoCase(trimmed, kUpperFolderMarkerName)) {
        path =
            trimmed.substr(0, trimmed.size() - kUpperFolderMarkerName.size());
      }
      const std::string kind = UpperAscii(data.Query(must_exist, entry.Key));
      const bool known = kind == "DSP" || kind == "CFP" || kind == "DIR";
      keep = known && Repair(window, kind, path);
      if (!keep) {
        data.RemoveEntry(kTrovaneDatabank, entry.Key);
        problems = true;
        window.LogActivity(known ? "Failed; line removed" : "Line removed");
        // The next entry now holds this line number.
        removed_here = entry.Key;
      }
    }
    window.DoEvents();
    if (keep) {
      removed_here.clear();
      ++line_number;
    }
  }
  return problems;
}

}  // namespace trovane
