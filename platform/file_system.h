// The disk as the program sees it: every path is in drive form and every
// file that is opened holds a file number while it is open. The program's
// logic reaches the disk only through this interface.
#ifndef TROVANE_PLATFORM_FILE_SYSTEM_H_
#define TROVANE_PLATFORM_FILE_SYSTEM_H_

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/clock.h"
#include "platform/input_file.h"
#include "platform/output_file.h"
#include "platform/swap_lock.h"

namespace trovane {

struct OpenOptions {
  // Refuse a symbolic link in the last name: for files in shared folders.
  bool refuse_link = false;
  // Create the file, empty, when it is missing (reading only).
  bool create = false;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // The file probe: the name, as stored, of the first ordinary file that is
  // not hidden at `path`, whose last name may hold the wildcards "*" and
  // "?"; empty when there is none. Folders are never found.
  virtual std::string Probe(std::string_view path) = 0;

  // True for an ordinary file, hidden or not.
  virtual bool IsFile(std::string_view path) = 0;

  // The length in bytes of an ordinary file.
  virtual std::optional<int64_t> Length(std::string_view path) = 0;

  virtual std::optional<LocalTime> LastModified(std::string_view path) = 0;

  virtual bool Delete(std::string_view path) = 0;

  // Gives `from` the name `to`, replacing a file of that name in one step.
  virtual bool Rename(std::string_view from, std::string_view to) = 0;

  // Gives the file `from` the further name `to`, failing when `to` exists.
  virtual bool Link(std::string_view from, std::string_view to) = 0;

  // Makes the folder and any missing folder above it; true when the
  // folder exists afterwards.
  virtual bool MakeFolder(std::string_view path) = 0;

  virtual std::unique_ptr<InputFile> OpenForReading(std::string_view path,
                                                    OpenOptions options) = 0;

  // Creates the file or empties it.
  virtual std::unique_ptr<OutputFile> OpenForWriting(std::string_view path,
                                                     OpenOptions options) = 0;

  // Writes at the end of the file, creating it when it is missing.
  virtual std::unique_ptr<OutputFile> OpenForAppending(std::string_view path,
                                                       OpenOptions options) = 0;

  // Tries once to take a databank's swap file as the lock between
  // processes (see SwapLock).
  virtual SwapClaim ClaimSwap(std::string_view path) = 0;

  // The drive form of a Linux path, as the drive table gives it.
  virtual std::string ToDriveForm(std::string_view linux_path) const = 0;

  // The Linux path of a drive-form path, empty on an unmapped drive.
  virtual std::optional<std::string> ToLinux(std::string_view path) const = 0;
};

}  // namespace trovane

#endif  // TROVANE_PLATFORM_FILE_SYSTEM_H_
