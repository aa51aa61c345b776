#include "analysis/disk_map_batch.h"

#include <algorithm>
#include <memory>

#include "platform/text.h"

namespace trovane {
namespace {

constexpr std::string_view kRule =
    "Echo -------------------------------------------------------------";

bool HoldsWildcard(std::string_view text) {
  return text.find_first_of("*?") != std::string_view::npos;
}

// What listing the folder-list line `line` cannot find, as the rest of a
// sentence; empty when the folder it lists below is there. The line is a
// folder, or a folder and a last name to look for below it, that name a
// plain one or one with wildcards. A line without a drive is left to the
// interpreter, which takes it from its current folder.
std::string ListingProblem(FileSystem& files, std::string_view line) {
  if (line.size() < 3 || !HasDriveLetter(line) || line[2] != '\\') return {};
  constexpr std::string_view kNothing = ", so nothing was listed there";
  if (!files.IsFolder(line.substr(0, 3))) {
    return "drive " + std::string(1, UpperAscii(line[0])) + " is not mapped" +
           std::string(kNothing);
  }
  if (files.IsFolder(line)) return {};
  const size_t last = line.rfind('\\');
  const std::string_view folder =
      last == 2 ? line.substr(0, 3) : line.substr(0, last);
  const std::string_view name = line.substr(last + 1);
  if (HoldsWildcard(folder)) {
    return "only its last name may hold * or ?" + std::string(kNothing);
  }
  if (!files.IsFolder(folder)) {
    return "the folder " + std::string(folder) + " does not exist" +
           std::string(kNothing);
  }
  if (name.empty() || HoldsWildcard(name)) return {};
  // Most likely a folder misspelt, which the listing takes for a name.
  return "there is no folder " + std::string(line) +
         ", so only what is named " + std::string(name) + " below " +
         std::string(folder) + " was listed";
}

// Writes the batch; true when every line of it reached the file.
bool WriteScanBatch(Window& window) {
  FileSystem& files = window.services().files;
  const std::string& run_path = window.run_path();
  const std::string& temporary = window.temporary_folder();
  // A temporary folder that would break the batch's lines gets no batch.
  if (HoldsControlCharacter(temporary)) return false;
  const std::string disk_map = InFolder(temporary, kDiskMapName);
  const std::string signal = InFolder(temporary, kSignalFileName);
  const std::string folder_list = InFolder(run_path, kFolderListName);
  std::unique_ptr<InputFile> folders = files.OpenForReading(folder_list, {});
  if (folders) {
    folders->SkipByteOrderMark();
    folders->LimitLines(kLongestLine);
  }
  int overlong = 0;
  std::unique_ptr<OutputFile> batch =
      files.OpenForWriting(InFolder(run_path, kScanBatchName), {});
  const auto write = [&batch](std::string_view line) {
    if (batch) batch->WriteLine(line);
  };
  // The batch's own texts, misspellings and all, as it has always shown
  // them in its console.
  write("@Echo off");
  write("Echo This batch is part of and was created by VEK Trovane Setup.");
  write("Echo This batch is harmless, it only scans the disk for filenames.");
  write(kRule);
  write("Echo Please let it run and finnish, so that Trovane can continue.");
  write("Echo (This may take a while)");
  write(kRule);
  write("Echo Innitiating...");
  write("Del " + signal);
  write("Cd\\");

  bool listing_begun = false;
  std::string folder;
  while (folders && folders->ReadLine(&folder)) {
    if (folders->overlong()) {
      ++overlong;
      continue;
    }
    if (!IsRelevant(folder, window.FileList().items())) {
      window.LogActivity(" Not looking in " + folder + " due to irrelevance");
      continue;
    }
    // A line of blanks names no folder; one with a control character
    // would break the batch's lines.
    if (TrimBlanks(folder).empty() || HoldsControlCharacter(folder)) continue;
    // Listed all the same, as the batch always has; the user hears why the
    // disk map holds nothing from there.
    if (const std::string problem = ListingProblem(files, folder);
        !problem.empty()) {
      window.report().Notice("Map.txt line " + folder + ": " + problem + ".");
    }
    write("Echo Now scanning " + folder + "...");
    write("Dir " + folder + (listing_begun ? " /s /b >> " : " /s /b > ") +
          disk_map);
    listing_begun = true;
    window.LogActivity(" File query " + folder + " added");
  }
  if (folders) folders->Close();
  window.report().LinesPassedOver(folder_list, overlong);

  write("Echo Finnishing...");
  write("Echo OK! > " + signal);
  write(kRule);
  write("Echo DONE! You may now close this window in case it remains open.");
  return batch && batch->Close();
}

}  // namespace

std::string_view FolderTail(std::string_view line) {
  size_t cut = line.rfind('*');
  if (cut == std::string_view::npos) cut = line.rfind('\\');
  return cut == std::string_view::npos ? line : line.substr(cut + 1);
}

bool IsRelevant(std::string_view line, const std::vector<std::string>& items) {
  const std::string_view tail = FolderTail(line);
  return std::any_of(
      items.begin(), items.end(),
      [tail](const std::string& item) { return ContainsNoCase(item, tail); });
}

void BuildDiskMapBatch(Window& window, int read_count) {
  FileSystem& files = window.services().files;
  window.P1().SetMax(static_cast<float>(read_count));
  window.P1().SetValue(window.P1().min());
  if (window.FileList().ListCount() > 0) {
    window.DoingWhat().SetCaption("Mapping disk drive contents...");
    window.LogActivity("About to map disk drive contents to file [" +
                       InFolder(window.temporary_folder(), kDiskMapName) + "]");
    window.LogActivity("Building file find batch...");
    const std::string folder_list =
        InFolder(window.run_path(), kFolderListName);
    // The folder list a run path gets when it has none: the whole of
    // drive C.
    if (files.Probe(folder_list).empty()) {
      files.WriteLines(folder_list, WriteMode::kReplace, {}, {"C:\\*", ""});
    }
    const bool written = WriteScanBatch(window);
    window.DoEvents();
    window.LogActivity("Executing batch");
    // A batch that was not written whole is not started: an older Map.bat
    // left in its place must not run for this one.
    if (written) {
      window.StartScanBatch(InFolder(window.run_path(), kStartedBatchName));
    } else {
      window.ScanBatchNotWritten();
    }
  }
  window.Wait().SetEnabled(true);
  window.RightAfterLoad().SetEnabled(false);
}

}  // namespace trovane
