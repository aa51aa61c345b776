// The databank: key/value text files, one entry per line, and the record
// operations on them. Every access goes through the process's file numbers
// and, once logging is on, reports to the databank I/O log in the program's
// folder. Between processes a databank is locked by its swap file in the
// temporary folder while it is being rewritten.
#ifndef TROVANE_DATABANK_DATA_H_
#define TROVANE_DATABANK_DATA_H_

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "databank/entry_line.h"
#include "databank/run_files.h"
#include "platform/clock.h"
#include "platform/environment.h"
#include "platform/file_system.h"

namespace trovane {

// One entry as QueryByLineNumber returns it.
struct DatabankEntry {
  std::string Key;
  std::string Value;
};

// A databank's swap file, held for the length of one rewrite. Without a lock
// the temporary folder could not hold the swap file; the rewrite then goes
// ahead unlocked.
struct SwapAllocation {
  std::string path;  // drive form
  std::unique_ptr<SwapLock> lock;
};

class Data {
 public:
  Data(FileSystem& files, Clock& clock, const Environment& environment);

  // Access settings and the I/O log.
  void StartDatabankLog(bool keep_previous);
  void OpenDatabankAccess();
  std::string ResolveDatabankPath(std::string_view name);
  void LogDatabankIO(std::string_view message);

  // Record operations.
  void Set(std::string_view name, std::string_view key, std::string_view value);
  SwapAllocation AllocateSwap(std::string_view name);
  std::string Query(std::string_view name, std::string_view key);
  void RemoveEntry(std::string_view name, std::string_view key);
  std::string FindEntry(std::string_view name, std::string_view text);
  DatabankEntry QueryByLineNumber(std::string_view name, int32_t line_number);

  // Makes sure the databank exists and carries INTERNAL FLAG and TDS.
  void EnsureDatabank(std::string_view name);

  const std::string& temporary_folder() const { return temporary_folder_; }
  const std::string& run_path() const { return run_path_; }
  bool logging() const { return logging_; }

 private:
  // The program's folder in drive form, asked of the platform each time.
  std::string ProgramFolder() const;
  // Writes to the I/O log when logging is on.
  void Report(std::string_view message);
  // The swap file's name for a databank as it stands on disk now.
  std::string SwapPath(std::string_view name);
  // Takes the swap file, waiting for a living holder; `report` logs each
  // test that finds it taken.
  SwapAllocation TakeSwap(std::string_view name, bool report);

  FileSystem& files_;
  Clock& clock_;
  const Environment& environment_;
  std::string temporary_folder_;
  std::string run_path_;
  bool logging_ = false;
};

// Where a rewrite of the databank at `path` builds its new content before
// it takes the databank's place: beside it, under a hidden name that file
// searches and disk listings pass over.
std::string StagingPath(std::string_view path);

}  // namespace trovane

#endif  // TROVANE_DATABANK_DATA_H_
