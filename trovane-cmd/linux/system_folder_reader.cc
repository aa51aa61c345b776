#include "trovane-cmd/system_folder_reader.h"

#include <memory>

#include "trovane-cmd/linux/environment_path_view.h"
#include "trovane-cmd/linux/linux_folder_reader.h"
#include "trovane-cmd/linux/pseudo_mounts.h"

namespace trovane {

std::unique_ptr<FolderReader> MakeSystemFolderReader(
    const Environment& environment) {
  return std::make_unique<LinuxFolderReader>(EnvironmentPathView(environment),
                                             PseudoMounts::OfThisProcess());
}

}  // namespace trovane
