// A disk in memory, for the tests of the databank and of both passes:
// paths in drive form, names found without regard to case, dot names that
// the probe never finds, and file numbers from the same kind of table as
// the real disk's. Drive C is there; other drives when the test maps them. It
// knows files and folders only, and the probe takes no wildcards: links,
// permissions, patterns and other processes are the real disk's business, and
// the tests of those use a sandbox.
#ifndef TROVANE_TESTS_SUPPORT_MEMORY_FILE_SYSTEM_H_
#define TROVANE_TESTS_SUPPORT_MEMORY_FILE_SYSTEM_H_

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_numbers.h"
#include "platform/file_system.h"

namespace trovane::testing {

class MemoryFileSystem : public FileSystem {
 public:
  explicit MemoryFileSystem(FileNumbers& numbers = FileNumbers::Process());
  ~MemoryFileSystem() override;

  std::string Probe(std::string_view path) override;
  std::optional<FileStatus> Status(std::string_view path) override;
  std::optional<FileStatus> EntryStatus(std::string_view path) override;
  bool Delete(std::string_view path) override;
  bool Rename(std::string_view from, std::string_view to) override;
  bool Link(std::string_view from, std::string_view to) override;
  bool MakeFolder(std::string_view path) override;
  // Every folder that exists; a folder the test made read-only
  // (MakeReadOnly) excepted.
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

  // For the tests themselves, a path is in drive form or relative to the
  // root of drive C with "/" between names ("Run/FileList.txt"). Writing
  // makes the folders above the file.
  void Write(std::string_view path, std::string_view content);
  // The content of a file; empty when there is none.
  std::string Read(std::string_view path) const;
  bool Exists(std::string_view path) const;
  void SetModified(std::string_view path, const LocalTime& time);
  // A symbolic link at `path` that leads to `target`, a drive-form path;
  // another user's when `foreign`.
  void PlantLink(std::string_view path, std::string_view target,
                 bool foreign = false);
  // A FIFO (or a device, a socket) at `path`: neither a file nor a folder.
  void PlantSpecial(std::string_view path);
  // Makes what is at `path` another user's.
  void GiveAway(std::string_view path);
  // Lets other users write in the folder `path`, as in a shared /tmp.
  void Share(std::string_view path) { shared_.insert(Key(path)); }
  // The folder of this user's own that a shared folder gets.
  static constexpr char kOwnFolderName[] = "trovane-user";
  // Gives the disk drive `letter` beside drive C, which it always has.
  void MapDrive(char letter) { drives_.insert(std::string(1, letter) + ":"); }
  // Takes from this process the right to make files in the folder `path`.
  void MakeReadOnly(std::string_view path) { read_only_.insert(Key(path)); }

  // Takes the swap file at `path`, or the lock of the folder that holds
  // `path`, as another living process would: until the hold ends.
  std::unique_ptr<HeldLock> HoldSwapElsewhere(std::string_view path);
  std::unique_ptr<HeldLock> HoldFolderElsewhere(std::string_view path);
  // Holds the lock of the file at `path` as another process writing it
  // would, with OpenOptions::lock.
  std::unique_ptr<HeldLock> HoldFileElsewhere(std::string_view path);

 private:
  struct Content {
    std::string bytes;
    uint64_t id = 0;         // the inode: shared by the names of a file
    int64_t generation = 0;  // counts every change
  };
  struct Node {
    bool folder = false;
    std::string name;  // the last name as stored
    std::shared_ptr<Content> content;
    LocalTime modified{2026, 1, 2, 3, 4, 5};
    std::optional<std::string> link;  // where a symbolic link leads
    bool special = false;             // a FIFO, a device or a socket
    bool foreign = false;             // another user's
  };
  class File;
  class Hold;

  // The drive of a path ("C:" when it names none) and its names as
  // written.
  static std::string Drive(std::string_view path);
  static std::vector<std::string> Names(std::string_view path);
  // A path that holds a NUL names nothing, as on the disk.
  static bool HoldsNul(std::string_view path);
  // "C:\NAME\NAME" with every name upper-cased: the key of a node.
  static std::string Key(std::string_view path);
  static std::string ParentKey(const std::string& key);
  static std::string LastName(std::string_view path);
  // The node at `path` itself, a link or not.
  Node* Lookup(std::string_view path);
  const Node* Lookup(std::string_view path) const;
  // The node `path` names once links are followed; the path of a link
  // that leads nowhere is in `*dangling`.
  Node* Find(std::string_view path, std::string* dangling = nullptr);
  const Node* Find(std::string_view path) const;
  bool FolderExists(const std::string& key) const;
  // A new file node at `path`, whose folder must exist.
  Node* Create(std::string_view path);
  // The node a file opened at `path` reads or writes, made when missing
  // and `create`; nothing for a link refused by `options`.
  Node* Open(std::string_view path, OpenOptions options, bool create);
  std::unique_ptr<HeldLock> Hold(std::set<std::string>& held, std::string key);

  FileNumbers& numbers_;
  std::map<std::string, Node> nodes_;
  std::set<std::string> held_swaps_;
  std::set<std::string> held_folders_;
  std::set<std::string> held_files_;
  std::set<std::string> read_only_;
  std::set<std::string> shared_;
  std::set<std::string> drives_ = {"C:"};
  uint64_t next_id_ = 1;
  // Set while the file system lives, so that a hold or a file that
  // outlives it does not reach back into it.
  std::shared_ptr<bool> alive_;
};

}  // namespace trovane::testing

#endif  // TROVANE_TESTS_SUPPORT_MEMORY_FILE_SYSTEM_H_
