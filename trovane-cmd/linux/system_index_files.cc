#include <memory>
#include <string>
#include <utility>

#include "platform/linux/drive_map.h"
#include "platform/linux/path_view.h"
#include "trovane-cmd/index_files.h"
#include "trovane-cmd/linux/linux_index_files.h"

namespace trovane {

std::unique_ptr<IndexFiles> MakeSystemIndexFiles(
    const Environment& environment) {
  std::string problem;
  DriveMap drives =
      DriveMap::FromEnvironment(environment, &problem).value_or(DriveMap());
  return std::make_unique<LinuxIndexFiles>(
      PathView(std::move(drives), environment.CurrentFolder()));
}

}  // namespace trovane
