// The disk of this machine through the drive letters the environment maps.
#include <utility>

#include "platform/file_system.h"
#include "platform/linux/drive_map.h"
#include "platform/linux/linux_file_system.h"
#include "platform/linux/linux_folder.h"

namespace trovane {
namespace {

constexpr char kDriveCVariable[] = "VEK_DRIVE_C";

// Why drive C cannot be taken as the map gives it; empty when it can.
std::string ProblemOfDriveC(const DriveMap& drives,
                            const Environment& environment) {
  const std::string* folder = drives.FolderOf('C');
  if (folder == nullptr || !IsLinuxFolder(*folder)) {
    return "drive C is not mapped: set VEK_DRIVE_C to the folder that stands "
           "for drive C, or, with no VEK_DRIVE_ variable set, WINEPREFIX to "
           "a Wine prefix (a folder whose dosdevices/c: leads to drive C)";
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
