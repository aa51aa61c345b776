// The disk of this machine, reached through the drive table and the
// case-insensitive path view.
#ifndef TROVANE_PLATFORM_LINUX_FILE_SYSTEM_H_
#define TROVANE_PLATFORM_LINUX_FILE_SYSTEM_H_

#include "platform/file_numbers.h"
#include "platform/file_system.h"
#include "platform/linux/path_view.h"
#include "platform/linux/unique_fd.h"

namespace trovane {

class LinuxFileSystem : public FileSystem {
 public:
  explicit LinuxFileSystem(PathView paths,
                           FileNumbers& numbers = FileNumbers::Process());

  std::string Probe(std::string_view path) override;
  std::optional<FileStatus> Status(std::string_view path) override;
  std::optional<FileStatus> EntryStatus(std::string_view path) override;
  bool Delete(std::string_view path) override;
  bool Rename(std::string_view from, std::string_view to) override;
  bool Link(std::string_view from, std::string_view to) override;
  bool MakeFolder(std::string_view path) override;
  bool CanMakeFilesIn(std::string_view path) override;
  std::optional<std::string> OwnTemporaryFolder(
      std::string_view path, std::string* in_the_way) override;
  std::unique_ptr<ReadableFile> OpenReadable(std::string_view path,
                                             OpenOptions options) override;
  std::unique_ptr<WritableFile> OpenWritable(std::string_view path,
                                             WriteMode mode,
                                             OpenOptions options) override;
  LockClaim ClaimSwap(std::string_view path) override;
  LockClaim ClaimFolderLock(std::string_view path) override;
  std::optional<std::string> LinkTarget(std::string_view path) override;
  bool CopyAttributes(std::string_view from, std::string_view to) override;
  bool SyncFolderOf(std::string_view path) override;
  bool InUse(std::string_view path) override;
  std::unique_ptr<FolderWatch> WatchFolder(std::string_view path) override;
  void LearnFolderNamesFrom(std::string_view disk_map) override;
  std::optional<std::string> SystemPath(std::string_view path) override;

 private:
  // Opens the file of `path` with open(2)'s `flags`: first as written, the
  // common case and one system call, then with the case of each name looked
  // up, which is also where a missing file is created.
  UniqueFd Open(std::string_view path, int flags);
  // What the disk tells of `path`, or of the link at `path` itself with
  // `follow_links` false.
  std::optional<FileStatus> StatusOf(std::string_view path, bool follow_links);
  // The Linux folder that holds `path`, its case looked up.
  std::optional<std::string> FolderOf(std::string_view path) const;

  PathView paths_;
  FileNumbers& numbers_;
};

}  // namespace trovane

#endif  // TROVANE_PLATFORM_LINUX_FILE_SYSTEM_H_
