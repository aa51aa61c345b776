// The disk of this machine through its own drive-form paths, with the wide
// calls: names are matched without regard to case by the file system
// itself, a path may run past 260 characters, and a file is hidden when it
// carries the hidden or the system attribute.
#ifndef TROVANE_PLATFORM_WINDOWS_WINDOWS_FILE_SYSTEM_H_
#define TROVANE_PLATFORM_WINDOWS_WINDOWS_FILE_SYSTEM_H_

#include <optional>
#include <string>
#include <string_view>

#include "platform/file_numbers.h"
#include "platform/file_system.h"

namespace trovane {

class WindowsFileSystem : public FileSystem {
 public:
  // Relative paths are taken from `current_folder`, an absolute drive-form
  // path.
  explicit WindowsFileSystem(std::string current_folder,
                             FileNumbers& numbers = FileNumbers::Process());

  std::string Probe(std::string_view path) override;
  std::optional<FileStatus> Status(std::string_view path) override;
  std::optional<FileStatus> EntryStatus(std::string_view path) override;
  bool Delete(std::string_view path) override;
  bool Rename(std::string_view from, std::string_view to) override;
  bool Link(std::string_view from, std::string_view to) override;
  bool MakeFolder(std::string_view path) override;
  bool CanMakeFilesIn(std::string_view path) override;
  // The folder itself: a user's temporary folder is theirs alone here.
  std::optional<std::string> OwnTemporaryFolder(
      std::string_view path, std::string* in_the_way) override;
  std::unique_ptr<ReadableFile> OpenReadable(std::string_view path,
                                             OpenOptions options) override;
  std::unique_ptr<WritableFile> OpenWritable(std::string_view path,
                                             WriteMode mode,
                                             OpenOptions options) override;
  LockClaim ClaimSwap(std::string_view path) override;
  LockClaim ClaimFolderLock(std::string_view path) override;
  // Followed only to an ordinary file; a link is made by whoever may make
  // links at all, so no owner is compared.
  std::optional<std::string> LinkTarget(std::string_view path) override;
  bool CopyAttributes(std::string_view from, std::string_view to) override;
  // Names need no flush of their own here: the file system journals them,
  // and a rename is written through before it returns.
  bool SyncFolderOf(std::string_view path) override;
  bool InUse(std::string_view path) override;
  std::unique_ptr<FolderWatch> WatchFolder(std::string_view path) override;
  std::optional<std::string> SystemPath(std::string_view path) override;

 private:
  std::optional<std::wstring> SystemPathOf(std::string_view path) const;
  // The "\\?\" path of the folder that holds `path`.
  std::optional<std::wstring> FolderOf(std::string_view path) const;

  std::string current_folder_;
  FileNumbers& numbers_;
};

}  // namespace trovane

#endif  // TROVANE_PLATFORM_WINDOWS_WINDOWS_FILE_SYSTEM_H_
