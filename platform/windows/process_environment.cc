// The folders of this process as the system names them. Paths are the
// system's own drive-form paths, so there is no table to name them with.
#include <windows.h>

#include <string>

#include "platform/environment.h"
#include "platform/text.h"
#include "platform/windows/system_path.h"
#include "platform/windows/wide_text.h"

namespace trovane {

class ProcessEnvironment::DriveNames {};

ProcessEnvironment::ProcessEnvironment() = default;
ProcessEnvironment::~ProcessEnvironment() = default;

std::string ProcessEnvironment::ExecutableFolder() const {
  std::wstring exe(MAX_PATH, L'\0');
  for (;;) {
    const DWORD size =
        GetModuleFileNameW(nullptr, exe.data(), static_cast<DWORD>(exe.size()));
    if (size == 0) return CurrentFolder();
    // A name cut to fit the buffer comes back filling it exactly.
    if (size < exe.size()) {
      exe.resize(size);
      break;
    }
    exe.resize(exe.size() * 2);
  }
  return SplitLastName(WithoutLongPrefix(AnsiText(exe))).folder;
}

std::string ProcessEnvironment::CurrentFolder() const {
  const DWORD needed = GetCurrentDirectoryW(0, nullptr);
  std::wstring folder(needed, L'\0');
  const DWORD size = GetCurrentDirectoryW(needed, folder.data());
  if (size == 0 || size >= needed) return "C:\\";
  folder.resize(size);
  return WithoutLongPrefix(AnsiText(folder));
}

std::string ProcessEnvironment::ToDriveForm(std::string_view path) const {
  // A whole drive-form path is kept as written, ".." and all, as it is on
  // Linux; anything else is made whole from the current folder.
  const bool whole =
      (HasDriveLetter(path) && path.size() > 2 && path[2] == '\\') ||
      path.starts_with("\\\\");
  if (whole) return std::string(path);
  return FullDrivePath(path, CurrentFolder()).value_or(std::string(path));
}

}  // namespace trovane
