// The paths of this machine as the interpreter's environment maps the
// drives (the VEK_DRIVE_ variables, else the Wine prefix), relative paths
// from its current folder. A map that cannot be taken, which the
// interpreter has reported before it reads a batch, leaves Z: alone.
#ifndef TROVANE_TROVANE_CMD_LINUX_ENVIRONMENT_PATH_VIEW_H_
#define TROVANE_TROVANE_CMD_LINUX_ENVIRONMENT_PATH_VIEW_H_

#include <string>
#include <utility>

#include "platform/environment.h"
#include "platform/linux/drive_map.h"
#include "platform/linux/path_view.h"

namespace trovane {

inline PathView EnvironmentPathView(const Environment& environment) {
  std::string problem;
  DriveMap drives =
      DriveMap::FromEnvironment(environment, &problem).value_or(DriveMap());
  return PathView(std::move(drives), environment.CurrentFolder());
}

}  // namespace trovane

#endif  // TROVANE_TROVANE_CMD_LINUX_ENVIRONMENT_PATH_VIEW_H_
