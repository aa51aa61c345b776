#include <memory>

#include "trovane-cmd/index_files.h"
#include "trovane-cmd/linux/environment_path_view.h"
#include "trovane-cmd/linux/linux_index_files.h"

namespace trovane {

std::unique_ptr<IndexFiles> MakeSystemIndexFiles(
    const Environment& environment) {
  return std::make_unique<LinuxIndexFiles>(EnvironmentPathView(environment));
}

}  // namespace trovane
