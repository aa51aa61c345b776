#include "trovane-cmd/windows/windows_folder_reader.h"

#include <windows.h>

#include <optional>
#include <span>

#include "platform/windows/system_path.h"
#include "platform/windows/unique_handle.h"
#include "platform/windows/wide_text.h"

namespace trovane {
namespace {

// 100-nanosecond ticks from 1601 to 1970, for stamps in Linux's units.
constexpr int64_t kTicksTo1970 = 116'444'736'000'000'000;

class WindowsFolder : public FolderReader::Folder {
 public:
  explicit WindowsFolder(std::wstring system_path)
      : path(std::move(system_path)) {}

  // "\\?\C:\X\Y", or "\\?\C:\" for a root.
  std::wstring path;
};

// True for a folder that holds its name in the path: "\\?\C:\".
bool EndsWithSeparator(const std::wstring& path) {
  return !path.empty() && path.back() == L'\\';
}

bool IsHidden(DWORD attributes) {
  return (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0;
}

// A folder the walk enters: not a link, a junction or a mounted volume,
// which all stand for another name. Other reparse points (the folders a
// cloud service keeps) are real folders of this disk; one without a tag
// (how Wine shows a Linux link) counts as a link.
bool IsEnteredFolder(const WIN32_FIND_DATAW& entry) {
  if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return false;
  if ((entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
    return true;
  }
  const DWORD tag = entry.dwReserved0;
  return tag != 0 && !IsReparseTagNameSurrogate(tag);
}

struct StoredName {
  size_t offset;
  size_t size;
};

// Writes `name` in the ANSI code page at the end of the listing's store,
// NUL after it; nothing when a character of it has no exact form there. A
// near form ("a" for "ā") would name another file, and the "?" put in for
// a missing one would be a pattern.
std::optional<StoredName> StoreAnsiName(const wchar_t* name,
                                        FolderListing* listing) {
  const int wide_size = static_cast<int>(wcslen(name));
  const bool utf8 = GetACP() == CP_UTF8;
  const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
  BOOL lost = FALSE;
  // A character takes at most four bytes in any code page the system uses.
  const std::span<char> room =
      listing->Room(static_cast<size_t>(wide_size) * 4 + 1);
  const int size = WideCharToMultiByte(
      CP_ACP, flags, name, wide_size, room.data(),
      static_cast<int>(room.size()), nullptr, utf8 ? nullptr : &lost);
  if (size <= 0 || lost) return std::nullopt;
  room[static_cast<size_t>(size)] = '\0';
  const auto offset = static_cast<size_t>(room.data() - listing->store());
  listing->Keep(static_cast<size_t>(size) + 1);
  return StoredName{offset, static_cast<size_t>(size)};
}

}  // namespace

FolderReader::FolderPtr WindowsFolderReader::OpenStart(
    const std::string& path) {
  std::optional<std::wstring> system_path = SystemPath(path, current_folder_);
  if (!system_path) return nullptr;
  // The attributes of a link are its own; the folder it leads to is read
  // all the same, as the one the batch asked for.
  const DWORD attributes = GetFileAttributesW(system_path->c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES ||
      (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    return nullptr;
  }
  return std::make_shared<WindowsFolder>(std::move(*system_path));
}

FolderReader::FolderPtr WindowsFolderReader::OpenSubfolder(
    const FolderPtr& parent, const char* name) {
  // Nothing is opened yet: the read opens the folder by its whole path.
  // The name came from the parent's read, so it turns back into the very
  // name the system gave.
  const auto& folder = static_cast<const WindowsFolder&>(*parent);
  std::wstring path = folder.path;
  if (!EndsWithSeparator(path)) path += L'\\';
  path += WideText(name);
  return std::make_shared<WindowsFolder>(std::move(path));
}

bool WindowsFolderReader::Read(Folder& opened, FolderListing* listing) {
  const auto& folder = static_cast<const WindowsFolder&>(opened);
  std::wstring pattern = folder.path;
  if (!EndsWithSeparator(pattern)) pattern += L'\\';
  pattern += L'*';
  WIN32_FIND_DATAW entry;
  const HANDLE find = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &entry,
                                       FindExSearchNameMatch, nullptr,
                                       FIND_FIRST_EX_LARGE_FETCH);
  if (find == INVALID_HANDLE_VALUE) {
    // An empty root has not even "." and "..".
    return GetLastError() == ERROR_FILE_NOT_FOUND;
  }
  do {
    const wchar_t* name = entry.cFileName;
    if ((name[0] == L'.' &&
         (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'))) ||
        IsHidden(entry.dwFileAttributes)) {
      continue;
    }
    const std::optional<StoredName> stored = StoreAnsiName(name, listing);
    if (!stored) {
      listing->CountPassedOver(1);
      continue;
    }
    listing->AddStored(stored->offset, stored->size, IsEnteredFolder(entry));
  } while (FindNextFileW(find, &entry) != 0);
  const bool whole = GetLastError() == ERROR_NO_MORE_FILES;
  FindClose(find);
  if (!whole) listing->Clear();
  return whole;
}

FolderStamp WindowsFolderReader::Stamp(const Folder& opened) const {
  const auto& folder = static_cast<const WindowsFolder&>(opened);
  // Opening the folder itself, not what a link there leads to, and only
  // for its attributes, passes whatever sharing others ask for.
  const UniqueHandle handle(CreateFileW(
      folder.path.c_str(), FILE_READ_ATTRIBUTES,
      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
      nullptr));
  BY_HANDLE_FILE_INFORMATION info;
  FILE_BASIC_INFO basic;
  if (!handle.valid() || GetFileInformationByHandle(handle.get(), &info) == 0 ||
      GetFileInformationByHandleEx(handle.get(), FileBasicInfo, &basic,
                                   sizeof basic) == 0) {
    return {};
  }
  const auto nanoseconds = [](const LARGE_INTEGER& ticks) {
    return (int64_t{ticks.QuadPart} - kTicksTo1970) * 100;
  };
  return FolderStamp{info.dwVolumeSerialNumber,
                     (uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow,
                     nanoseconds(basic.ChangeTime),
                     nanoseconds(basic.LastWriteTime)};
}

}  // namespace trovane
