// The databank: key/value text files, one entry per line, and the record
// operations on them. Every access goes through the process's file numbers
// and, once logging is on, reports to the databank I/O log in the program's
// folder. While a databank is rewritten, its swap file in the temporary
// folder and the lock of its own folder keep every other process out.
#ifndef TROVANE_DATABANK_DATA_H_
#define TROVANE_DATABANK_DATA_H_

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "databank/databank_cache.h"
#include "databank/entry_line.h"
#include "databank/rewrite.h"
#include "databank/run_files.h"
#include "platform/clock.h"
#include "platform/environment.h"
#include "platform/file_numbers.h"
#include "platform/file_system.h"
#include "platform/log_file.h"

namespace trovane {

// One entry as QueryByLineNumber returns it.
struct DatabankEntry {
  std::string Key;
  std::string Value;
};

// The locks a rewrite of one databank holds. The swap file keeps its name
// and place in the temporary folder, where runs that share that folder
// find it; the lock of the databank's own folder is what keeps out every
// run, whatever its temporary folder. Without the swap file (a temporary
// folder that cannot hold it) the folder's lock still serves; without the
// folder's lock nothing may be written.
struct DatabankLocks {
  std::string swap_path;  // drive form
  // The databank's file, a link followed: where the rewrite happens.
  std::string file;
  std::unique_ptr<HeldLock> swap;
  std::unique_ptr<HeldLock> folder;

  bool held() const { return folder != nullptr; }
};

class Data {
 public:
  // `numbers` are the file numbers of the files `files` opens.
  Data(FileSystem& files, FileNumbers& numbers, Clock& clock,
       const Environment& environment);

  // Access settings and the I/O log.
  void StartDatabankLog(bool keep_previous);
  void OpenDatabankAccess();
  std::string ResolveDatabankPath(std::string_view name);
  void LogDatabankIO(std::string_view message);

  // Record operations. Set and RemoveEntry tell whether the databank now
  // holds what was asked; a change that could not be written is logged as
  // such, never as done.
  bool Set(std::string_view name, std::string_view key, std::string_view value);
  DatabankLocks AllocateSwap(std::string_view name);
  std::string Query(std::string_view name, std::string_view key);
  bool RemoveEntry(std::string_view name, std::string_view key);
  std::string FindEntry(std::string_view name, std::string_view text);
  DatabankEntry QueryByLineNumber(std::string_view name, int32_t line_number);

  // Makes sure the databank exists and carries INTERNAL FLAG and TDS.
  void EnsureDatabank(std::string_view name);

  // Called again and again while another process holds a lock this one
  // waits for, which may take long: the window lets its events through, so
  // that closing it, or a signal, ends the run meanwhile.
  void SetWaitHandler(std::function<void()> handler) {
    wait_handler_ = std::move(handler);
  }

  // Makes every databank this process rewrote survive a power cut. A
  // rewrite takes the old file's place in one rename, which the file
  // system keeps in order with the new content; this makes the last ones
  // lasting too, once, at the end of a run, where waiting on the disk
  // costs nothing.
  void SyncWritten();

  const std::string& temporary_folder() const { return temporary_folder_; }
  const std::string& run_path() const { return run_path_; }
  bool logging() const { return logging_; }

 private:
  // Writes to the I/O log when logging is on.
  void Report(std::string_view message);
  // The swap file's name for a databank as it stands on disk now.
  std::string SwapPath(std::string_view name);
  // Takes the databank's locks, waiting while a living process holds one;
  // `report` logs each look that finds one taken.
  DatabankLocks TakeLocks(std::string_view name, bool report);

  // A databank being read for one operation: its lines, from the cache
  // while the file is unchanged, and the file number the reading holds,
  // which is then the number opening the file would have taken.
  struct Reading {
    std::unique_ptr<InputFile> file;       // open while a fresh read is
    FileNumbers::Lease number;             // held for a read from the cache
    std::optional<DatabankLines> partial;  // lines before a failed read
    const DatabankLines* lines = nullptr;  // none when it cannot be read

    int serial() const { return file ? file->number() : number.number(); }
  };
  Reading Read(const std::string& path, const FileVersion& version);
  // Where the databank file at `path` is read: the file itself, or where a
  // link there leads when it may be followed, with its status in
  // `*status`. Nothing when it is no ordinary file or cannot be opened.
  std::optional<std::string> Locate(const std::string& path,
                                    FileStatus* status);
  // The lines of a databank file as they stand, read when the cache lacks
  // them, and in `status` the file's status; null when it cannot be read
  // whole.
  DatabankLines* CachedLines(const std::string& path, FileStatus* status);
  // One Set on the locked databank file `file`: an appended line when that
  // is byte for byte what a rewrite would give, else the rewrite.
  SetOutcome Write(const std::string& file, std::string_view key,
                   std::string_view value);

  FileSystem& files_;
  FileNumbers& numbers_;
  Clock& clock_;
  const Environment& environment_;
  std::function<void()> wait_handler_;
  LogFile io_log_;
  std::string temporary_folder_;
  std::string run_path_;
  bool logging_ = false;
  std::set<std::string> written_;  // the files of the databanks rewritten
  DatabankCache cache_;
};

}  // namespace trovane

#endif  // TROVANE_DATABANK_DATA_H_
