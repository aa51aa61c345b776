// The disk as the program sees it: every path is in drive form, and a file
// that is opened holds a file number while it is open, unless it is a log.
// The program's logic reaches the disk only through this interface; each
// system's backend has the real one (OpenLocalDisk), and the tests have one
// in memory and one that fails on demand.
#ifndef TROVANE_PLATFORM_FILE_SYSTEM_H_
#define TROVANE_PLATFORM_FILE_SYSTEM_H_

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "platform/clock.h"
#include "platform/environment.h"
#include "platform/file_version.h"
#include "platform/input_file.h"
#include "platform/output_file.h"
#include "platform/waitable.h"

namespace trovane {

struct OpenOptions {
  // Refuse a symbolic link in the last name: for files in shared folders
  // and files made where a stranger may have planted a link.
  bool refuse_link = false;
  // Create the file, empty, when it is missing (reading only).
  bool create = false;
  // Take a file number. A log, whose number no one ever sees, takes none
  // and so never moves the serials of the files the logs report.
  bool numbered = true;
  // Writing only: hold the file's lock while it is open, waiting while
  // another process holds it, and empty a file opened to be replaced only
  // once the lock is held: the scan batch's interpreter writing its disk
  // map, which another run's interpreter may still be writing.
  bool lock = false;
};

enum class WriteMode {
  kReplace,    // created, or emptied when it exists
  kAppend,     // written at the end, created when missing
  kCreateNew,  // created; fails when anything of that name exists
  // Written from the start over what is there, created when missing; the
  // old bytes past the new ones stay until the writer cuts them off with
  // Truncate(). A large file replaced by much the same bytes then costs
  // neither the freeing of its space nor the flush a file system makes of
  // a file emptied and written anew. Where bytes already stand as
  // written, the system may leave them alone rather than write them again.
  kOverwrite,
};

struct FileStatus {
  bool is_file = false;  // an ordinary file, hidden or not
  bool is_folder = false;
  bool is_link = false;  // told by EntryStatus only: Status follows links
  int64_t length = 0;
  LocalTime modified;
  FileVersion version;
};

// A lock, held for as long as the object lives.
class HeldLock {
 public:
  virtual ~HeldLock() = default;
};

// One attempt at a lock between processes.
struct LockClaim {
  enum class Outcome {
    kTaken,              // `lock` holds it
    kHeldByLiveProcess,  // another living process holds it
    kLeftByDeadProcess,  // a swap file nobody held was removed; try again
    kUnavailable,        // it cannot be taken there
  };
  Outcome outcome = Outcome::kUnavailable;
  std::unique_ptr<HeldLock> lock;
};

// Wakes a waiting loop when a file in a folder is written and closed, or
// renamed into it: the end of the scan batch's last command is seen at
// once, with no look at the folder in between.
class FolderWatch {
 public:
  virtual ~FolderWatch() = default;
  // Ready while something happened that Drain() has not taken in.
  virtual Waitable Waker() const = 0;
  virtual void Drain() = 0;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // The file probe: the name, as stored, of the first ordinary file that is
  // not hidden at `path`, whose last name may hold the wildcards "*" and
  // "?"; empty when there is none. Folders are never found.
  virtual std::string Probe(std::string_view path) = 0;

  // What is at `path`, symbolic links followed; nothing when nothing is.
  virtual std::optional<FileStatus> Status(std::string_view path) = 0;

  // What is at `path` itself: a symbolic link there is told as one (with
  // nothing else about it), never followed. As cheap as Status.
  virtual std::optional<FileStatus> EntryStatus(std::string_view path) = 0;

  virtual bool Delete(std::string_view path) = 0;

  // Gives `from` the name `to`, replacing a file of that name in one step.
  virtual bool Rename(std::string_view from, std::string_view to) = 0;

  // Gives the file `from` the further name `to`, failing when `to` exists.
  virtual bool Link(std::string_view from, std::string_view to) = 0;

  // Makes the folder and any missing folder above it; true when the
  // folder exists afterwards.
  virtual bool MakeFolder(std::string_view path) = 0;

  // True when this process may make files in the folder `path`, judged
  // with the rights a file's creation there would be judged with.
  virtual bool CanMakeFilesIn(std::string_view path) = 0;

  // Where a run keeps its temporary files when told to keep them in the
  // folder `path`: `path` itself, unless other users may write in it (a
  // shared /tmp); then a folder of this user's alone inside it, made when
  // missing, so that no other user can plant or change what the run takes
  // as its disk map, signal or swap files. Nothing when that folder is
  // there but not this user's alone, its path then in `*in_the_way`.
  virtual std::optional<std::string> OwnTemporaryFolder(
      std::string_view path, std::string* in_the_way) = 0;

  virtual std::unique_ptr<ReadableFile> OpenReadable(std::string_view path,
                                                     OpenOptions options) = 0;
  virtual std::unique_ptr<WritableFile> OpenWritable(std::string_view path,
                                                     WriteMode mode,
                                                     OpenOptions options) = 0;

  // Tries once to take a databank's swap file as a lock between processes.
  // The swap file appears under its name already locked, so a swap file
  // nobody holds was left by a process that died, and is removed. Never
  // opens that name through a symbolic link.
  virtual LockClaim ClaimSwap(std::string_view path) = 0;

  // Tries once to take the lock of the folder that holds `path`, the lock
  // every process takes to rewrite a databank in that folder.
  virtual LockClaim ClaimFolderLock(std::string_view path) = 0;

  // Where a symbolic link at `path` leads, followed to its end, in drive
  // form; `path` as given when it is no link. A link is followed only to
  // an ordinary file whose owner owns every link on the way, the rule the
  // kernel's protected_symlinks applies in shared folders: one that
  // another user planted, or that leads to a device, a FIFO, a folder or
  // nothing, gives nothing, and the file counts as one that cannot be
  // opened.
  virtual std::optional<std::string> LinkTarget(std::string_view path) = 0;

  // Gives the file `to` the permissions of the file `from` and, where this
  // process may, its owner; false when the permissions could not be given.
  virtual bool CopyAttributes(std::string_view from, std::string_view to) = 0;

  // Makes the names in the folder that holds `path` survive a power cut.
  virtual bool SyncFolderOf(std::string_view path) = 0;

  // True when another process holds the lock of the file at `path`, as a
  // file opened with OpenOptions::lock holds it.
  virtual bool InUse(std::string_view path) = 0;

  // A watch on the folder `path`; null when none can be had.
  virtual std::unique_ptr<FolderWatch> WatchFolder(std::string_view path) = 0;

  // The listing that wrote the disk map `disk_map` may have left an index
  // of the folders it read: where the system looks names up without
  // regard to case by reading folders, it may take the names of a folder
  // unchanged since from there. Only a speed-up: nothing else changes.
  virtual void LearnFolderNamesFrom(std::string_view /*disk_map*/) {}

  // `path` as the system names it, for what takes the system's own paths
  // (a toolkit's folder chooser); nothing for a path on no drive.
  virtual std::optional<std::string> SystemPath(std::string_view path) = 0;

  // Conveniences over the operations above.
  bool IsFile(std::string_view path);
  bool IsFolder(std::string_view path);
  // The length of an ordinary file.
  std::optional<int64_t> Length(std::string_view path);
  std::optional<LocalTime> LastModified(std::string_view path);
  std::unique_ptr<InputFile> OpenForReading(std::string_view path,
                                            OpenOptions options);
  // Creates the file or empties it.
  std::unique_ptr<OutputFile> OpenForWriting(std::string_view path,
                                             OpenOptions options);
  // Writes at the end of the file, creating it when it is missing.
  std::unique_ptr<OutputFile> OpenForAppending(std::string_view path,
                                               OpenOptions options);
  // Writes `lines`, each followed by CR LF, to the file opened in `mode`;
  // true when every byte reached it.
  bool WriteLines(std::string_view path, WriteMode mode, OpenOptions options,
                  std::initializer_list<std::string_view> lines);
};

// This machine's disk, its paths in drive form. On Linux the drive letters
// are those the environment maps (the VEK_DRIVE_ variables, else the Wine
// prefix); when they cannot be taken, nothing is opened and the message
// says why and what to set.
std::variant<std::unique_ptr<FileSystem>, std::string> OpenLocalDisk(
    const Environment& environment);

// Why that disk's drive C cannot be the one the VEK programs use, in a few
// words that say what to set; empty when it can.
std::string DriveCProblem(const Environment& environment);

}  // namespace trovane

#endif  // TROVANE_PLATFORM_FILE_SYSTEM_H_
