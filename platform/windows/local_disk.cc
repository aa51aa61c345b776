// The disk of this machine: its drive letters are the system's own.
#include "platform/file_system.h"
#include "platform/windows/windows_file_system.h"

namespace trovane {

std::variant<std::unique_ptr<FileSystem>, std::string> OpenLocalDisk(
    const Environment& environment) {
  return std::make_unique<WindowsFileSystem>(environment.CurrentFolder());
}

std::string DriveCProblem(const Environment& environment) {
  WindowsFileSystem files(environment.CurrentFolder());
  if (files.IsFolder("C:\\")) return {};
  return "this system has no drive C, where the VEK programs look for "
         "C:\\Trovane";
}

}  // namespace trovane
