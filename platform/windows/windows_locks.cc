#include "platform/windows/windows_locks.h"

#include <windows.h>

#include <atomic>

#include "platform/windows/unique_handle.h"
#include "platform/windows/wide_text.h"

namespace trovane {
namespace {

using Outcome = LockClaim::Outcome;

constexpr DWORD kShareAll =
    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Takes the lock byte without waiting; false when another handle holds it.
bool LockByte(HANDLE file) {
  OVERLAPPED at_byte_zero{};
  return LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY,
                    0, 1, 0, &at_byte_zero) != 0;
}

// Removes the file `file` is a handle of, whatever name it has by now; the
// name goes when the last handle closes.
bool RemoveWhenClosed(HANDLE file) {
  FILE_DISPOSITION_INFO remove{};
  remove.DeleteFile = TRUE;
  return SetFileInformationByHandle(file, FileDispositionInfo, &remove,
                                    sizeof remove) != 0;
}

bool IsLinkOrFolder(const BY_HANDLE_FILE_INFORMATION& info) {
  return (info.dwFileAttributes &
          (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) != 0;
}

// Two handles of files in one folder stand for the same file. Their index
// says so; the volume is the folder's for both (Wine even reports no
// volume serial for a file it has just made).
bool SameFileInFolder(HANDLE a, HANDLE b) {
  BY_HANDLE_FILE_INFORMATION first;
  BY_HANDLE_FILE_INFORMATION second;
  return GetFileInformationByHandle(a, &first) != 0 &&
         GetFileInformationByHandle(b, &second) != 0 &&
         first.nFileIndexHigh == second.nFileIndexHigh &&
         first.nFileIndexLow == second.nFileIndexLow;
}

// Held by its open handle; the file goes when the lock does, unless the
// name has meanwhile come to stand for another file. It is removed through
// its name: under Wine a handle's own removal goes by the name the handle
// was opened under, which the claim then changed.
class SwapLock : public HeldLock {
 public:
  SwapLock(std::wstring path, UniqueHandle file)
      : path_(std::move(path)), file_(std::move(file)) {}
  ~SwapLock() override {
    const UniqueHandle named(CreateFileW(
        path_.c_str(), DELETE | FILE_READ_ATTRIBUTES, kShareAll, nullptr,
        OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (named.valid() && SameFileInFolder(named.get(), file_.get())) {
      RemoveWhenClosed(named.get());
    }
  }

 private:
  std::wstring path_;
  UniqueHandle file_;  // closing it lets go of the lock
};

class FolderLock : public HeldLock {
 public:
  explicit FolderLock(UniqueHandle file) : file_(std::move(file)) {}

 private:
  UniqueHandle file_;  // closing it lets go of the lock
};

std::wstring FolderOf(const std::wstring& path) {
  const size_t last = path.rfind(L'\\');
  return last == std::wstring::npos ? std::wstring() : path.substr(0, last);
}

// Makes a locked file under a private name in the swap file's folder, then
// gives it the swap file's name, which fails when that name exists.
Outcome CreateLocked(const std::wstring& path, UniqueHandle* file_out) {
  static std::atomic<unsigned> claims{0};
  const std::wstring private_name = FolderOf(path) + L"\\.trovane-swap." +
                                    std::to_wstring(GetCurrentProcessId()) +
                                    L"." + std::to_wstring(++claims);
  UniqueHandle file(CreateFileW(
      private_name.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, kShareAll,
      nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return Outcome::kUnavailable;
  LockByte(file.get());
  if (MoveFileExW(private_name.c_str(), path.c_str(), MOVEFILE_WRITE_THROUGH) !=
      0) {
    *file_out = std::move(file);
    return Outcome::kTaken;
  }
  const DWORD error = GetLastError();
  RemoveWhenClosed(file.get());
  // A name that is taken, or still held by a swap file on its way out.
  return error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS ||
                 error == ERROR_ACCESS_DENIED
             ? Outcome::kHeldByLiveProcess
             : Outcome::kUnavailable;
}

// Looks at an existing swap file: alive while its holder keeps the byte. A
// stale one is removed through the very handle whose lock was tested, so a
// swap file another process has just made in its place is left alone.
Outcome JudgeExisting(const std::wstring& path) {
  const UniqueHandle file(CreateFileW(
      path.c_str(), GENERIC_READ | DELETE, kShareAll, nullptr, OPEN_EXISTING,
      FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!file.valid()) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
      return Outcome::kLeftByDeadProcess;
    }
    // A file this process may not even open cannot be judged, and must not
    // be waited on for ever.
    return Outcome::kUnavailable;
  }
  BY_HANDLE_FILE_INFORMATION info;
  if (GetFileInformationByHandle(file.get(), &info) == 0) {
    return Outcome::kUnavailable;
  }
  if ((info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
    // A planted link, removed itself, never followed.
    return RemoveWhenClosed(file.get()) ? Outcome::kLeftByDeadProcess
                                        : Outcome::kUnavailable;
  }
  if (IsLinkOrFolder(info)) return Outcome::kUnavailable;
  if (!LockByte(file.get())) return Outcome::kHeldByLiveProcess;
  return RemoveWhenClosed(file.get()) ? Outcome::kLeftByDeadProcess
                                      : Outcome::kUnavailable;
}

}  // namespace

LockClaim ClaimSwapFile(const std::wstring& path) {
  LockClaim claim;
  UniqueHandle file;
  claim.outcome = CreateLocked(path, &file);
  if (claim.outcome == Outcome::kTaken) {
    claim.lock = std::make_unique<SwapLock>(path, std::move(file));
  } else if (claim.outcome == Outcome::kHeldByLiveProcess) {
    claim.outcome = JudgeExisting(path);
  }
  return claim;
}

LockClaim ClaimFolder(const std::wstring& folder) {
  LockClaim claim;
  const std::wstring lock_path = folder + L"\\" + WideText(kFolderLockName);
  UniqueHandle file(CreateFileW(
      lock_path.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_ALWAYS,
      FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  BY_HANDLE_FILE_INFORMATION info;
  // A link planted at the lock file's name is never locked through.
  if (!file.valid() || GetFileInformationByHandle(file.get(), &info) == 0 ||
      IsLinkOrFolder(info)) {
    return claim;
  }
  if (LockByte(file.get())) {
    claim.outcome = Outcome::kTaken;
    claim.lock = std::make_unique<FolderLock>(std::move(file));
  } else if (GetLastError() == ERROR_LOCK_VIOLATION) {
    claim.outcome = Outcome::kHeldByLiveProcess;
  }
  return claim;
}

}  // namespace trovane
