// Where the files of a run lie, named in one place. The run path (the run
// folder) holds the lists, the scan batch and the logs; the
// temporary folder holds the disk map, the completion signal and the swap
// files; a folder the program made or tested carries its marker file. Each
// name is appended to its folder as it stands, "\" first.
#ifndef TROVANE_DATABANK_RUN_FILES_H_
#define TROVANE_DATABANK_RUN_FILES_H_

#include <array>
#include <string>
#include <string_view>

namespace trovane {

// The program's own databank, the file of that very path.
inline constexpr std::string_view kTrovaneDatabank = "C:\\Trovane";

// In the run path.
inline constexpr std::string_view kWantedListName = "\\FileList.txt";
inline constexpr std::string_view kMustExistName = "\\MustExist.txt";
inline constexpr std::string_view kFolderListName = "\\Map.txt";
inline constexpr std::string_view kScanBatchName = "\\Map.bat";
// The same batch as the interpreter is started on it: names ignore case.
inline constexpr std::string_view kStartedBatchName = "\\Map.Bat";
inline constexpr std::string_view kActivityLogName = "\\Trovane.Log";
inline constexpr std::string_view kIoLogName = "\\Database_IO.log";
inline constexpr std::string_view kPreviousIoLogName = "\\Database_IO.log.x";

// The variables that name the temporary folder, a Linux path or a
// drive-form path: the first with a value wins, and without one the run
// path serves.
inline constexpr std::array<std::string_view, 3> kTemporaryFolderVariables = {
    "VEK", "TEMP", "TMP"};

// In the temporary folder.
inline constexpr std::string_view kDiskMapName = "\\Trovane.txt";
inline constexpr std::string_view kSignalFileName = "\\Signal.txt";

// In a folder: the marker that stands for the folder, which the file probe
// cannot find; compared without regard to case.
inline constexpr std::string_view kFolderMarkerName = "\\VEKcreate.dir";
inline constexpr std::string_view kUpperFolderMarkerName = "\\VEKCREATE.DIR";

// `folder` followed by one of the names above.
inline std::string InFolder(std::string_view folder, std::string_view name) {
  std::string path(folder);
  path.append(name);
  return path;
}

}  // namespace trovane

#endif  // TROVANE_DATABANK_RUN_FILES_H_
