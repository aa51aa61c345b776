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

// What a repair of the kind `kind` made, for the user.
std::string RepairDone(const std::string& kind) {
  const std::string made = kind == "DSP" ? "a new databank was made there"
                           : kind == "CFP"
                               ? "a blank CFP file was made there"
                               : "its marker VEKcreate.dir was made";
  return made + ", as MustExist.txt says " + kind;
}

// Why an entry that failed its checks could not be kept: what is, or is
// not, at its location, and what to change where the user can. `kind` is
// the upper-cased kind from the must-exist list, `known` whether it is one
// the repair knows.
std::string WhyNotKept(std::string_view key, const std::string& kind,
                       bool known, bool folder, bool exists,
                       std::string_view correct) {
  if (folder && !exists) {
    if (!known) return FolderNeedsDirKind(key);
    if (kind != "DIR") return "a folder, where MustExist.txt says " + kind;
    return "its marker VEKcreate.dir could not be made";
  }
  if (!exists) {
    if (!known) return "no file or folder is there";
    return kind == "DSP"   ? "the databank could not be made there"
           : kind == "CFP" ? "the CFP file could not be made there"
                           : "the folder could not be made there";
  }
  return "its path does not hold its file name " + std::string(correct) +
         " from FileList.txt";
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
  RunReport& report = window.report();
  const std::string wanted_list = InFolder(window.run_path(), kWantedListName);
  const std::string must_exist = InFolder(window.run_path(), kMustExistName);
  bool problems = false;
  // Spelt as the window and the activity log have always spelt them.
  window.DoingWhat().SetCaption("Doubble-checking entry:");
  window.LogActivity("Doubble-checking:");

  for (int32_t line_number = 1;;) {
    window.LogActivity("--- Serial number: " + std::to_string(line_number));
    const DatabankEntry entry =
        data.QueryByLineNumber(kTrovaneDatabank, line_number);
    window.LogActivity("Checking value = " + entry.Key);
    if (entry.Key.empty()) break;
    if (IsHousekeepingKey(entry.Key)) {
      ++line_number;
      continue;
    }
    std::string path = entry.Value;
    window.LogActivity("Filename from Trovane databank = " + path);
    window.Filename().SetCaption(entry.Key);

    std::string correct = data.Query(wanted_list, entry.Key);
    if (correct.empty()) {
      correct = ShortestDistinguishingTail(data, wanted_list, path);
      if (!data.Set(wanted_list, entry.Key, correct)) {
        report.NotWritten(wanted_list, entry.Key + "=" + correct);
      }
    }
    if (ContainsNoCase(entry.Key, "interface") &&
        data.Query(must_exist, entry.Key).empty() &&
        !data.Set(must_exist, entry.Key, "CFP")) {
      report.NotWritten(must_exist, entry.Key + "=CFP");
    }
    if (!correct.empty()) window.LogActivity("Correct filename = " + correct);

    // A folder is tested through its marker. A file found at the path is
    // the answer to both looks: it is not looked for twice.
    bool exists = !files.Probe(path).empty();
    if (!exists) {
      path += kFolderMarkerName;
      exists = !files.Probe(path).empty();
    }
    const bool named = ContainsNoCase(path, correct);
    window.LogActivity(std::string("Checks up = ") + TruthText(named));
    window.LogActivity(std::string("Exists = ") + TruthText(exists));

    bool keep = named && exists;
    // A removal that could not be written leaves the entry at its line.
    bool removed = false;
    if (!keep) {
      const std::string_view trimmed = TrimBlanks(path);
      if (EndsWithNoCase(trimmed, kUpperFolderMarkerName)) {
        path =
            trimmed.substr(0, trimmed.size() - kUpperFolderMarkerName.size());
      }
      const std::string kind = UpperAscii(data.Query(must_exist, entry.Key));
      const bool known = kind == "DSP" || kind == "CFP" || kind == "DIR";
      // Asked before the repair, which may make the folder.
      const bool folder = files.IsFolder(path);
      keep = known && Repair(window, kind, path);
      if (keep) {
        report.Repaired(entry.Key, entry.Value, RepairDone(kind));
      } else {
        removed = data.RemoveEntry(kTrovaneDatabank, entry.Key);
        problems = true;
        if (removed) {
          window.LogActivity(known ? "Failed; line removed" : "Line removed");
        } else {
          window.LogActivity(known ? "Failed; line could not be removed"
                                   : "Line could not be removed");
        }
        report.Removed(
            entry.Key, entry.Value,
            WhyNotKept(entry.Key, kind, known, folder, exists, correct),
            removed);
      }
    }
    window.DoEvents();
    // The next entry now holds the line number of one removed.
    if (!removed) ++line_number;
  }
  return problems;
}

}  // namespace trovane
