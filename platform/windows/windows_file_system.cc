#include "platform/windows/windows_file_system.h"

#include <windows.h>

#include <utility>
#include <vector>

#include "platform/wildcard.h"
#include "platform/windows/file_security.h"
#include "platform/windows/system_path.h"
#include "platform/windows/unique_handle.h"
#include "platform/windows/wide_text.h"
#include "platform/windows/windows_file.h"
#include "platform/windows/windows_folder_watch.h"
#include "platform/windows/windows_locks.h"

namespace trovane {
namespace {

constexpr DWORD kShareAll =
    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// A rename or a removal that meets a handle another process holds open (a
// scanner, an indexer, a reader of the log) is tried again for a few tens
// of milliseconds before it counts as failed.
constexpr int kRetries = 8;
constexpr DWORD kRetryPauseMs = 5;
// The attributes a rewritten file takes over. Read-only is not among them:
// a staging file that carries it could no longer be removed, and a
// read-only databank cannot be replaced anyway.
constexpr DWORD kCopiedAttributes =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
    FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

bool IsHidden(DWORD attributes) {
  return (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0;
}

template <typename Attempt>
bool WithRetries(Attempt attempt) {
  for (int tries = 0;; ++tries) {
    if (attempt()) return true;
    const DWORD error = GetLastError();
    if ((error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION) ||
        tries == kRetries) {
      return false;
    }
    Sleep(kRetryPauseMs);
  }
}

int64_t Ticks(const FILETIME& time) {
  return static_cast<int64_t>(
      (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime);
}

LocalTime LocalTimeOf(const FILETIME& time) {
  SYSTEMTIME universal{};
  SYSTEMTIME local{};
  // The zone's rule for that date, summer time included, as a local clock
  // then read it.
  if (FileTimeToSystemTime(&time, &universal) == 0 ||
      SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local) == 0) {
    return {};
  }
  return LocalTime{local.wYear, local.wMonth,  local.wDay,
                   local.wHour, local.wMinute, local.wSecond};
}

// True when `file` is an ordinary file of the disk, not a folder, a device
// or (opened without following it) a link.
bool IsOrdinaryFile(HANDLE file) {
  BY_HANDLE_FILE_INFORMATION info;
  return GetFileType(file) == FILE_TYPE_DISK &&
         GetFileInformationByHandle(file, &info) != 0 &&
         (info.dwFileAttributes &
          (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0;
}

// Opens an ordinary file; never waits for anything, since a file another
// process holds without sharing fails at once.
UniqueHandle OpenFile(const std::wstring& path, DWORD access, DWORD disposition,
                      OpenOptions options) {
  UniqueHandle file(
      CreateFileW(path.c_str(), access, kShareAll, nullptr, disposition,
                  FILE_ATTRIBUTE_NORMAL |
                      (options.refuse_link ? FILE_FLAG_OPEN_REPARSE_POINT : 0),
                  nullptr));
  if (file.valid() && !IsOrdinaryFile(file.get())) file.Reset();
  return file;
}

// The kind of reparse point at `path` itself (a link or a junction among
// them); 0 when it is none.
DWORD ReparseTagOf(const std::wstring& path) {
  WIN32_FIND_DATAW entry;
  const HANDLE find = FindFirstFileExW(path.c_str(), FindExInfoBasic, &entry,
                                       FindExSearchNameMatch, nullptr, 0);
  if (find == INVALID_HANDLE_VALUE) return 0;
  FindClose(find);
  return (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0
             ? entry.dwReserved0
             : 0;
}

std::optional<FileStatus> StatusFromAttributes(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) == 0) {
    return std::nullopt;
  }
  FileStatus status;
  status.is_folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  status.is_file = !status.is_folder;
  status.length = static_cast<int64_t>(
      (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
  status.modified = LocalTimeOf(data.ftLastWriteTime);
  status.version = {0, 0, status.length, Ticks(data.ftLastWriteTime) * 100, 0};
  return status;
}

}  // namespace

WindowsFileSystem::WindowsFileSystem(std::string current_folder,
                                     FileNumbers& numbers)
    : current_folder_(std::move(current_folder)), numbers_(numbers) {}

std::optional<std::wstring> WindowsFileSystem::SystemPathOf(
    std::string_view path) const {
  return trovane::SystemPath(path, current_folder_);
}

std::optional<std::wstring> WindowsFileSystem::FolderOf(
    std::string_view path) const {
  const std::optional<std::string> full = FullDrivePath(path, current_folder_);
  if (!full) return std::nullopt;
  return trovane::SystemPath(SplitLastName(*full).folder, current_folder_);
}

std::string WindowsFileSystem::Probe(std::string_view path) {
  const std::optional<std::string> full = FullDrivePath(path, current_folder_);
  if (!full) return {};
  const FolderAndName split = SplitLastName(*full);
  const std::optional<std::wstring> pattern = SystemPathOf(*full);
  if (split.name.empty() || !pattern) return {};
  WIN32_FIND_DATAW entry;
  const HANDLE find = FindFirstFileExW(pattern->c_str(), FindExInfoBasic,
                                       &entry, FindExSearchNameMatch, nullptr,
                                       FIND_FIRST_EX_LARGE_FETCH);
  if (find == INVALID_HANDLE_VALUE) return {};
  // The system matches wildcards against short names too ("*.htm" finds
  // "a.html"): the program's own match decides, and the first name in byte
  // order wins, as everywhere else.
  const bool wildcards = HasWildcards(split.name);
  std::string best;
  do {
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ||
        IsHidden(entry.dwFileAttributes)) {
      continue;
    }
    std::string name = AnsiText(entry.cFileName);
    if ((wildcards && !MatchesWildcard(name, split.name)) ||
        (!best.empty() && name >= best)) {
      continue;
    }
    // A link counts for what it leads to.
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
        !IsFile(SplitLastName(*full).folder + "\\" + name)) {
      continue;
    }
    best = std::move(name);
  } while (FindNextFileW(find, &entry) != 0);
  FindClose(find);
  return best;
}

std::optional<FileStatus> WindowsFileSystem::Status(std::string_view path) {
  const std::optional<std::wstring> system_path = SystemPathOf(path);
  if (!system_path) return std::nullopt;
  // Asking for attributes only passes whatever sharing other handles
  // allow; the open follows links and reaches folders too.
  const UniqueHandle file(
      CreateFileW(system_path->c_str(), FILE_READ_ATTRIBUTES, kShareAll,
                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  BY_HANDLE_FILE_INFORMATION info;
  FILE_BASIC_INFO basic;
  if (!file.valid()) {
    // Some files refuse even that (the paging file): what the folder
    // records of them is all there is.
    return GetLastError() == ERROR_SHARING_VIOLATION ||
                   GetLastError() == ERROR_ACCESS_DENIED
               ? StatusFromAttributes(*system_path)
               : std::nullopt;
  }
  if (GetFileInformationByHandle(file.get(), &info) == 0 ||
      GetFileInformationByHandleEx(file.get(), FileBasicInfo, &basic,
                                   sizeof basic) == 0) {
    return std::nullopt;
  }
  FileStatus status;
  status.is_folder = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  status.is_file =
      !status.is_folder && GetFileType(file.get()) == FILE_TYPE_DISK;
  status.length = static_cast<int64_t>(
      (static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow);
  status.modified = LocalTimeOf(info.ftLastWriteTime);
  status.version = {
      info.dwVolumeSerialNumber,
      (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow,
      status.length, Ticks(info.ftLastWriteTime) * 100,
      basic.ChangeTime.QuadPart * 100};
  return status;
}

bool WindowsFileSystem::Delete(std::string_view path) {
  const std::optional<std::wstring> system_path = SystemPathOf(path);
  return system_path &&
         WithRetries([&] { return DeleteFileW(system_path->c_str()) != 0; });
}

bool WindowsFileSystem::Rename(std::string_view from, std::string_view to) {
  const std::optional<std::wstring> source = SystemPathOf(from);
  const std::optional<std::wstring> target = SystemPathOf(to);
  return source && target && WithRetries([&] {
           return MoveFileExW(
                      source->c_str(), target->c_str(),
                      MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
         });
}

bool WindowsFileSystem::Link(std::string_view from, std::string_view to) {
  const std::optional<std::wstring> source = SystemPathOf(from);
  const std::optional<std::wstring> target = SystemPathOf(to);
  return source && target &&
         CreateHardLinkW(target->c_str(), source->c_str(), nullptr) != 0;
}

bool WindowsFileSystem::MakeFolder(std::string_view path) {
  const std::optional<std::string> full = FullDrivePath(path, current_folder_);
  if (!full) return false;
  // From the root down: each folder that is missing is made in turn.
  std::vector<std::string> chain;
  for (std::string folder = *full;;) {
    chain.push_back(folder);
    FolderAndName split = SplitLastName(folder);
    if (split.name.empty()) break;
    folder = std::move(split.folder);
  }
  for (auto folder = chain.rbegin(); folder != chain.rend(); ++folder) {
    if (IsFolder(*folder)) continue;
    const std::optional<std::wstring> system_path = SystemPathOf(*folder);
    if (!system_path || (CreateDirectoryW(system_path->c_str(), nullptr) == 0 &&
                         !IsFolder(*folder))) {
      return false;
    }
  }
  return IsFolder(*full);
}

bool WindowsFileSystem::CanMakeFilesIn(std::string_view path) {
  const std::optional<std::wstring> folder = SystemPathOf(path);
  return folder && MayMakeFilesIn(*folder);
}

std::unique_ptr<ReadableFile> WindowsFileSystem::OpenReadable(
    std::string_view path, OpenOptions options) {
  const std::optional<std::wstring> system_path = SystemPathOf(path);
  if (!system_path) return nullptr;
  UniqueHandle file =
      OpenFile(*system_path, GENERIC_READ,
               options.create ? OPEN_ALWAYS : OPEN_EXISTING, options);
  if (!file.valid()) return nullptr;
  return WindowsFile::Take(std::move(file),
                           options.numbered ? &numbers_ : nullptr);
}

std::unique_ptr<WritableFile> WindowsFileSystem::OpenWritable(
    std::string_view path, WriteMode mode, OpenOptions options) {
  const std::optional<std::wstring> system_path = SystemPathOf(path);
  if (!system_path) return nullptr;
  // An existing file is opened and emptied (or written over) rather than
  // made anew, which would fail on a hidden file and drop the attributes
  // it has.
  UniqueHandle file = OpenFile(
      *system_path, GENERIC_WRITE,
      mode == WriteMode::kCreateNew ? CREATE_NEW : OPEN_ALWAYS, options);
  if (!file.valid()) return nullptr;
  // The lock, waited for, before the file is emptied: the Linux build
  // takes the same byte.
  OVERLAPPED at{};
  if (options.lock &&
      LockFileEx(file.get(), LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &at) == 0) {
    return nullptr;
  }
  std::unique_ptr<WindowsFile> opened = WindowsFile::Take(
      std::move(file), options.numbered ? &numbers_ : nullptr,
      mode == WriteMode::kAppend ? WindowsFile::Writes::kAtEnd
                                 : WindowsFile::Writes::kInPlace);
  if (opened && mode == WriteMode::kReplace && !opened->Truncate(0)) {
    return nullptr;
  }
  return opened;
}

LockClaim WindowsFileSystem::ClaimSwap(std::string_view path) {
  const std::optional<std::wstring> system_path = SystemPathOf(path);
  if (!system_path) return {};
  return ClaimSwapFile(*system_path);
}

LockClaim WindowsFileSystem::ClaimFolderLock(std::string_view path) {
  const std::optional<std::wstring> folder = FolderOf(path);
  if (!folder) return {};
  return ClaimFolder(*folder);
}

std::optional<std::string> WindowsFileSystem::LinkTarget(
    std::string_view path) {
  const std::optional<std::wstring> system_path = SystemPathOf(path);
  if (!system_path) return std::string(path);
  const DWORD tag = ReparseTagOf(*system_path);
  if (tag != IO_REPARSE_TAG_SYMLINK && tag != IO_REPARSE_TAG_MOUNT_POINT) {
    return std::string(path);
  }
  // Opened through every link to its end, the file names itself; what it
  // leads to must be an ordinary file.
  const UniqueHandle file(CreateFileW(system_path->c_str(),
                                      FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                                      OPEN_EXISTING, 0, nullptr));
  if (!file.valid() || !IsOrdinaryFile(file.get())) return std::nullopt;
  std::wstring target(MAX_PATH, L'\0');
  for (;;) {
    const DWORD size = GetFinalPathNameByHandleW(
        file.get(), target.data(), static_cast<DWORD>(target.size()),
        FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (size == 0) return std::nullopt;
    if (size < target.size()) {
      target.resize(size);
      return WithoutLongPrefix(AnsiText(target));
    }
    target.resize(size);
  }
}

std::optional<FileStatus> WindowsFileSystem::EntryStatus(
    std::string_view path) {
  const std::optional<std::wstring> system_path = SystemPathOf(path);
  if (!system_path) return std::nullopt;
  const DWORD tag = ReparseTagOf(*system_path);
  if (tag != IO_REPARSE_TAG_SYMLINK && tag != IO_REPARSE_TAG_MOUNT_POINT) {
    return Status(path);
  }
  FileStatus link;
  link.is_link = true;
  return link;
}

std::optional<std::string> WindowsFileSystem::OwnTemporaryFolder(
    std::string_view path, std::string* /*in_the_way*/) {
  return std::string(path);
}

bool WindowsFileSystem::InUse(std::string_view path) {
  const std::optional<std::wstring> system_path = SystemPathOf(path);
  if (!system_path) return false;
  const UniqueHandle file(CreateFileW(system_path->c_str(), GENERIC_READ,
                                      kShareAll, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return false;
  // Taken and let go at once when nobody holds it.
  OVERLAPPED at{};
  if (LockFileEx(file.get(),
                 LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0,
                 &at) == 0) {
    return true;
  }
  UnlockFileEx(file.get(), 0, 1, 0, &at);
  return false;
}

std::optional<std::string> WindowsFileSystem::SystemPath(
    std::string_view path) {
  return FullDrivePath(path, current_folder_);
}

bool WindowsFileSystem::CopyAttributes(std::string_view from,
                                       std::string_view to) {
  const std::optional<std::wstring> source = SystemPathOf(from);
  const std::optional<std::wstring> target = SystemPathOf(to);
  if (!source || !target) return false;
  const DWORD attributes = GetFileAttributesW(source->c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  const DWORD copied = attributes & kCopiedAttributes;
  // The security first: under Wine it carries the read-only attribute,
  // which the attributes then take back.
  const bool secured = CopySecurity(*source, *target);
  return SetFileAttributesW(target->c_str(),
                            copied != 0 ? copied : FILE_ATTRIBUTE_NORMAL) !=
             0 &&
         secured;
}

bool WindowsFileSystem::SyncFolderOf(std::string_view path) {
  const std::optional<std::wstring> folder = FolderOf(path);
  if (!folder) return false;
  const DWORD attributes = GetFileAttributesW(folder->c_str());
  return attributes != INVALID_FILE_ATTRIBUTES &&
         (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::unique_ptr<FolderWatch> WindowsFileSystem::WatchFolder(
    std::string_view path) {
  const std::optional<std::wstring> folder = SystemPathOf(path);
  if (!folder) return nullptr;
  return WatchWindowsFolder(*folder);
}

}  // namespace trovane
