// A file system that passes every operation on to another one, except the
// operations a test chose to fail: the failures a real disk gives only now
// and then (a full disk, a lost permission, a file another user holds),
// given on demand.
#ifndef TROVANE_TESTS_SUPPORT_FAILING_FILE_SYSTEM_H_
#define TROVANE_TESTS_SUPPORT_FAILING_FILE_SYSTEM_H_

#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"

namespace trovane::testing {

class FailingFileSystem : public FileSystem {
 public:
  enum class Operation {
    kOpen,
    kRead,
    kWrite,
    kClose,
    kRename,
    kLink,
    kDelete,
    kLock,  // a swap file or a folder's lock cannot be taken
  };

  explicit FailingFileSystem(FileSystem& base) : base_(base) {}

  // Fails every `operation` on a path that holds `path_part`, compared
  // without regard to case; an empty part fails them on every path. A
  // rename or a link fails on either of its paths; a write that fails
  // writes half its bytes first.
  void Fail(Operation operation, std::string_view path_part = {});
  // How many operations have failed on purpose so far.
  int failures() const { return failures_; }

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
  std::optional<std::string> SystemPath(std::string_view path) override;

 private:
  class File;

  // True, and counted, when `operation` on `path` is to fail.
  bool Fails(Operation operation, std::string_view path);

  struct Rule {
    Operation operation;
    std::string path_part;
  };
  FileSystem& base_;
  std::vector<Rule> rules_;
  int failures_ = 0;
};

}  // namespace trovane::testing

#endif  // TROVANE_TESTS_SUPPORT_FAILING_FILE_SYSTEM_H_
