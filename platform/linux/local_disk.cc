// The disk of this machine through the drive letters the environment maps.
#include <utility>

#include "platform/file_system.h"
#include "platform/linux/drive_map.h"
#include "platform/linux/linux_file_system.h"
#include "platform/linux/linux_folder.h"
#include "platform/linux/wine_drives.h"

namespace trovane {
namespace {

constexpr char kDriveCVariable[] = "VEK_DRIVE_C";

// Started from the desktop's menu, nobody can set a variable but in the
// menu entry itself.
constexpr char kFromTheMenu[] =
    "; started from the desktop menu, set it in the menu entry's command "
    "(Exec=env WINEPREFIX=/path/to/prefix trovane-setup)";

bool AnyDriveVariable(const Environment& environment) {
  for (char letter = 'C'; letter <= 'Z'; ++letter) {
    if (environment.Has(std::string("VEK_DRIVE_") + letter)) return true;
  }
  return false;
}

// Why nothing maps drive C, and what makes it mapped.
std::string WhyDriveCIsUnmapped(const Environment& environment) {
  if (AnyDriveVariable(environment)) {
    return "the VEK_DRIVE_ variables map the drives, and VEK_DRIVE_C is not "
           "among them: set VEK_DRIVE_C to the folder that stands for drive C";
  }
  const std::string prefix = WinePrefixOf(environment);
  const std::string set_a_variable =
      "set WINEPREFIX to the Wine prefix the VEK programs use (or "
      "VEK_DRIVE_C to the folder that stands for drive C)" +
      std::string(kFromTheMenu);
  if (prefix.empty()) {
    return "neither WINEPREFIX nor HOME is set: " + set_a_variable;
  }
  if (!IsLinuxFolder(prefix)) {
    return "there is no Wine prefix at " + prefix +
           ": make one by running winecfg or wineboot once, or " +
           set_a_variable;
  }
  return "the Wine prefix " + prefix +
         " has no dosdevices/c: that leads to a folder: run wineboot to "
         "repair it, or " +
         set_a_variable;
}

// Why drive C cannot be taken as the map gives it; empty when it can.
std::string ProblemOfDriveC(const DriveMap& drives,
                            const Environment& environment) {
  const std::string* folder = drives.FolderOf('C');
  if (folder == nullptr || !IsLinuxFolder(*folder)) {
    return "drive C is not mapped: " + WhyDriveCIsUnmapped(environment);
  }
  // The whole system as drive C would have the run write C:\Trovane at the
  // root and list every file there is: only asked for in so many words.
  if (*folder == "/" && !environment.Has(kDriveCVariable)) {
    return "drive C would be /, the root of the Linux system, as the Wine "
           "prefix's dosdevices/c: leads there: point dosdevices/c: at the "
           "prefix's drive_c, or set VEK_DRIVE_C=/ if / is really meant";
  }
  return {};
}

}  // namespace

std::variant<std::unique_ptr<FileSystem>, std::string> OpenLocalDisk(
    const Environment& environment) {
  std::string problem;
  std::optional<DriveMap> drives =
      DriveMap::FromEnvironment(environment, &problem);
  if (!drives) return problem;
  return std::make_unique<LinuxFileSystem>(
      PathView(std::move(*drives), environment.CurrentFolder()));
}

std::string DriveCProblem(const Environment& environment) {
  std::string problem;
  const std::optional<DriveMap> drives =
      DriveMap::FromEnvironment(environment, &problem);
  return drives ? ProblemOfDriveC(*drives, environment) : problem;
}

}  // namespace trovane
