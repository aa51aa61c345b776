#include "search/double_check.h"

#include <memory>

#include "databank/housekeeping.h"
#include "platform/text.h"
#include "search/search_pass.h"

namespace trovane {
namespace {

// Writes a new file of `lines`, never through a link planted at its name;
// true when it was written whole.
bool WriteFile(FileSystem& files, const std::string& path,
               std::initializer_list<std::string_view> lines) {
  std::unique_ptr<OutputFile> file =
      files.OpenForWriting(path, {.refuse_link = true});
  if (!file) return false;
  for (std::string_view line : lines) file->WriteLine(line);
  return file->Close();
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

bool SearchPass::Repair(const std::string& kind, const std::string& path) {
  // A file that is there but fails the name test is somebody else's file:
  // a repair creates what is missing and never rewrites what exists.
  if (kind == "DSP") {
    window_.LogActivity("Attempting to create databank");
    const std::string file = data_.ResolveDatabankPath(path);
    if (files_.IsFile(file)) return false;
    data_.EnsureDatabank(path);
    return !files_.Probe(file).empty();
  }
  if (kind == "CFP") {
    window_.LogActivity("Attempting to create CFP file");
    const std::string file = data_.ResolveDatabankPath(path);
    if (files_.IsFile(file)) return false;
    WriteFile(files_, file, {"--- Blank entry", ""});
    return !files_.Probe(file).empty();
  }
  window_.LogActivity("Attempting to create directory");
  files_.MakeFolder(path);
  WriteFile(files_,
            data_.ResolveDatabankPath(InFolder(path, kFolderMarkerName)),
            {"This file was created by VEK Trovane, please do not delete it"});
  return !files_
              .Probe(data_.ResolveDatabankPath(
                  InFolder(path, kUpperFolderMarkerName)))
              .empty();
}

bool SearchPass::DoubleCheck() {
  const std::string wanted_list = InFolder(window_.run_path(), kWantedListName);
  const std::string must_exist = InFolder(window_.run_path(), kMustExistName);
  bool problems = false;
  window_.DoingWhat().SetCaption("Doubble-checking entry:");
  window_.LogActivity("Doubble-checking:");

  // The key of an entry whose removal was attempted at this line number: if
  // it is still there, the databank could not be rewritten, and the walk
  // moves on instead of trying the same line for ever.
  std::string removed_here;
  for (int32_t serial = 1;;) {
    window_.LogActivity("--- Serial number: " + std::to_string(serial));
    const DatabankEntry entry =
        data_.QueryByLineNumber(kTrovaneDatabank, serial);
    window_.LogActivity("Checking value = " + entry.Key);
    if (entry.Key.empty()) break;
    if (IsHousekeepingKey(entry.Key) || entry.Key == removed_here) {
      removed_here.clear();
      ++serial;
      continue;
    }
    std::string path = entry.Value;
    window_.LogActivity("Filename from Trovane databank = " + path);
    window_.Filename().SetCaption(entry.Key);

    std::string correct = data_.Query(wanted_list, entry.Key);
    if (correct.empty()) {
      correct = ShortestDistinguishingTail(data_, wanted_list, path);
      data_.Set(wanted_list, entry.Key, correct);
    }
    if (ContainsNoCase(entry.Key, "interface") &&
        data_.Query(must_exist, entry.Key).empty()) {
      data_.Set(must_exist, entry.Key, "CFP");
    }
    if (!correct.empty()) window_.LogActivity("Correct filename = " + correct);

    // A folder is tested through its marker.
    if (files_.Probe(path).empty()) path += kFolderMarkerName;
    const bool named = ContainsNoCase(path, correct);
    const bool exists = !files_.Probe(path).empty();
    window_.LogActivity(std::string("Checks up = ") + TruthText(named));
    window_.LogActivity(std::string("Exists = ") + TruthText(exists));

    bool keep = named && exists;
    if (!keep) {
      const std::string_view trimmed = TrimBlanks(path);
      if (EndsWithNoCase(trimmed, kUpperFolderMarkerName)) {
        path =
            trimmed.substr(0, trimmed.size() - kUpperFolderMarkerName.size());
      }
      const std::string kind = UpperAscii(data_.Query(must_exist, entry.Key));
      const bool known = kind == "DSP" || kind == "CFP" || kind == "DIR";
      keep = known && Repair(kind, path);
      if (!keep) {
        data_.RemoveEntry(kTrovaneDatabank, entry.Key);
        problems = true;
        window_.LogActivity(known ? "Failed; line removed" : "Line removed");
        // The next entry now holds this line number.
        removed_here = entry.Key;
      }
    }
    window_.DoEvents();
    if (keep) {
      removed_here.clear();
      ++serial;
    }
  }
  return problems;
}

}  // namespace trovane
