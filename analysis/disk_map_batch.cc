#include "analysis/disk_map_batch.h"

#include <memory>

#include "platform/text.h"

namespace trovane {
namespace {

constexpr std::string_view kRule =
    "Echo -------------------------------------------------------------";

// The folder list a run path gets when it has none: the whole of drive C.
void CreateDefaultFolderList(FileSystem& files, const std::string& path) {
  std::unique_ptr<OutputFile> list = files.OpenForWriting(path, {});
  if (!list) return;
  list->WriteLine("C:\\*");
  list->WriteLine("");
  list->Close();
}

// Writes the batch; returns whether every line of it reached the file.
bool WriteScanBatch(Window& window, FileSystem& files) {
  const std::string& run_path = window.run_path();
  const std::string disk_map =
      window.temporary_folder() + std::string(kDiskMapName);
  const std::string signal =
      window.temporary_folder() + std::string(kSignalFileName);
  std::unique_ptr<InputFile> folders =
      files.OpenForReading(run_path + std::string(kFolderListName), {});
  std::unique_ptr<OutputFile> batch =
      files.OpenForWriting(run_path + std::string(kScanBatchName), {});
  const auto write = [&batch](std::string_view line) {
    if (batch) batch->WriteLine(line);
  };
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
    if (!IsRelevant(folder, window.FileList().items())) {
      window.LogActivity(" Not looking in " + folder + " due to irrelevance");
      continue;
    }
    if (TrimBlanks(folder).empty()) continue;
    write("Echo Now scanning " + folder + "...");
    write("Dir " + folder + (listing_begun ? " /s /b >> " : " /s /b > ") +
          disk_map);
    listing_begun = true;
    window.LogActivity(" File query " + folder + " added");
  }
  if (folders) folders->Close();

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
  for (const std::string& item : items) {
    if (ContainsNoCase(item, tail)) return true;
  }
  return false;
}

void BuildDiskMapBatch(Window& window, FileSystem& files,
                       const BatchStarter& starter, int read_count) {
  window.P1().SetMax(static_cast<float>(read_count));
  window.P1().SetValue(window.P1().min());
  if (window.FileList().ListCount() > 0) {
    window.DoingWhat().SetCaption("Mapping disk drive contents...");
    window.LogActivity("About to map disk drive contents to file [" +
                       window.temporary_folder() + std::string(kDiskMapName) +
                       "]");
    window.LogActivity("Building file find batch...");
    const std::string folder_list =
        window.run_path() + std::string(kFolderListName);
    if (files.Probe(folder_list).empty()) {
      CreateDefaultFolderList(files, folder_list);
    }
    const bool written = WriteScanBatch(window, files);
    window.DoEvents();
    window.LogActivity("Executing batch");
    // A batch that was not written whole is not started: an older Map.bat
    // left in its place must not run for this one.
    if (written && !starter.interpreter.empty()) {
      starter.launcher.StartDetached(
          starter.interpreter,
          {InFolder(window.run_path(), kStartedBatchName)});
    }
  }
  window.Wait().SetEnabled(true);
  window.RightAfterLoad().SetEnabled(false);
}

}  // namespace trovane
