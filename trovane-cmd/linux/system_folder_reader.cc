#include "trovane-cmd/system_folder_reader.h"

#include <optional>
#include <string>
#include <utility>

#include "platform/linux/drive_map.h"
#include "platform/linux/path_view.h"
#include "trovane-cmd/linux/linux_folder_reader.h"
#include "trovane-cmd/linux/pseudo_mounts.h"

namespace trovane {

std::unique_ptr<FolderReader> MakeSystemFolderReader(
    const Environment& environment) {
  std::string problem;
  DriveMap drives =
      DriveMap::FromEnvironment(environment, &problem).value_or(DriveMap());
  return std::make_unique<LinuxFolderReader>(
      PathView(std::move(drives), environment.CurrentFolder()),
      PseudoMounts::OfThisProcess());
}

}  // namespace trovane
