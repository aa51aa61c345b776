// What the system's access control says about files: whether this process
// may make files in a folder, and a file's security handed to another.
#ifndef TROVANE_PLATFORM_WINDOWS_FILE_SECURITY_H_
#define TROVANE_PLATFORM_WINDOWS_FILE_SECURITY_H_

#include <string>

namespace trovane {

// True when `folder` ("\\?\" form) is a folder on a writable volume whose
// access control lets this process's token add a file to it. A file system
// that keeps no access control lets everybody.
bool MayMakeFilesIn(const std::wstring& folder);

// Gives `to` the access control list of `from` and, where this process may,
// its owner and group; true when the list was given, or `from` has none.
bool CopySecurity(const std::wstring& from, const std::wstring& to);

}  // namespace trovane

#endif  // TROVANE_PLATFORM_WINDOWS_FILE_SECURITY_H_
