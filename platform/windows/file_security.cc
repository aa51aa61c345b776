#include "platform/windows/file_security.h"

#include <windows.h>

#include <vector>

#include "platform/windows/unique_handle.h"

namespace trovane {
namespace {

// The security descriptor of `path` with the parts `what`; empty when it
// cannot be read, and then `*error` says why.
std::vector<BYTE> SecurityOf(const std::wstring& path,
                             SECURITY_INFORMATION what, DWORD* error) {
  DWORD needed = 0;
  GetFileSecurityW(path.c_str(), what, nullptr, 0, &needed);
  std::vector<BYTE> descriptor(needed);
  if (needed == 0 || GetFileSecurityW(path.c_str(), what, descriptor.data(),
                                      needed, &needed) == 0) {
    *error = GetLastError();
    return {};
  }
  *error = ERROR_SUCCESS;
  return descriptor;
}

// The volume that holds `folder` is mounted read-only.
bool OnReadOnlyVolume(const std::wstring& folder) {
  std::wstring volume(MAX_PATH + 1, L'\0');
  DWORD flags = 0;
  return GetVolumePathNameW(folder.c_str(), volume.data(),
                            static_cast<DWORD>(volume.size())) != 0 &&
         GetVolumeInformationW(volume.c_str(), nullptr, 0, nullptr, nullptr,
                               &flags, nullptr, 0) != 0 &&
         (flags & FILE_READ_ONLY_VOLUME) != 0;
}

}  // namespace

bool MayMakeFilesIn(const std::wstring& folder) {
  const DWORD attributes = GetFileAttributesW(folder.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES ||
      (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ||
      OnReadOnlyVolume(folder)) {
    return false;
  }
  DWORD error = ERROR_SUCCESS;
  std::vector<BYTE> descriptor =
      SecurityOf(folder,
                 OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION |
                     DACL_SECURITY_INFORMATION,
                 &error);
  if (descriptor.empty()) return error == ERROR_NOT_SUPPORTED;

  // The check wants an impersonation token: this process's own, copied.
  HANDLE process_token = nullptr;
  if (OpenProcessToken(GetCurrentProcess(), TOKEN_DUPLICATE | TOKEN_QUERY,
                       &process_token) == 0) {
    return false;
  }
  const UniqueHandle own(process_token);
  HANDLE impersonation = nullptr;
  if (DuplicateToken(own.get(), SecurityImpersonation, &impersonation) == 0) {
    return false;
  }
  const UniqueHandle token(impersonation);
  GENERIC_MAPPING mapping{FILE_GENERIC_READ, FILE_GENERIC_WRITE,
                          FILE_GENERIC_EXECUTE, FILE_ALL_ACCESS};
  DWORD wanted = FILE_ADD_FILE;
  MapGenericMask(&wanted, &mapping);
  PRIVILEGE_SET privileges{};
  DWORD privileges_size = sizeof privileges;
  DWORD granted = 0;
  BOOL allowed = FALSE;
  return AccessCheck(descriptor.data(), token.get(), wanted, &mapping,
                     &privileges, &privileges_size, &granted, &allowed) != 0 &&
         allowed != FALSE;
}

bool CopySecurity(const std::wstring& from, const std::wstring& to) {
  DWORD error = ERROR_SUCCESS;
  std::vector<BYTE> with_owner =
      SecurityOf(from,
                 OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION |
                     DACL_SECURITY_INFORMATION,
                 &error);
  if (with_owner.empty()) return true;
  // Giving a file away takes a privilege most processes lack: the list
  // alone then.
  if (SetFileSecurityW(to.c_str(),
                       OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION |
                           DACL_SECURITY_INFORMATION,
                       with_owner.data()) != 0) {
    return true;
  }
  return SetFileSecurityW(to.c_str(), DACL_SECURITY_INFORMATION,
                          with_owner.data()) != 0;
}

}  // namespace trovane
