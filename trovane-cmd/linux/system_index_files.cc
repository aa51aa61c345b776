#include "trovane-cmd/system_index_files.h"

#include <memory>

#include "platform/linux/linux_index_files.h"
#include "trovane-cmd/linux/environment_path_view.h"

namespace trovane {

std::unique_ptr<IndexFiles> MakeSystemIndexFiles(
    const Environment& environment) {
  return std::make_unique<LinuxIndexFiles>(EnvironmentPathView(environment));
}

}  // namespace trovane
