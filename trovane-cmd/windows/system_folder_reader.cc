#include "trovane-cmd/system_folder_reader.h"

#include "trovane-cmd/windows/windows_folder_reader.h"

namespace trovane {

// The drives are the system's own: there is no map to take.
std::unique_ptr<FolderReader> MakeSystemFolderReader(
    const Environment& environment) {
  return std::make_unique<WindowsFolderReader>(environment.CurrentFolder());
}

}  // namespace trovane
