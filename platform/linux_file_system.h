// The disk of this machine, reached through the drive table and the
// case-insensitive path view.
#ifndef TROVANE_PLATFORM_LINUX_FILE_SYSTEM_H_
#define TROVANE_PLATFORM_LINUX_FILE_SYSTEM_H_

#include "platform/file_numbers.h"
#include "platform/file_system.h"
#include "platform/path_view.h"

namespace trovane {

class LinuxFileSystem : public FileSystem {
 public:
  explicit LinuxFileSystem(PathView paths,
                           FileNumbers& numbers = FileNumbers::Process());

  std::string Probe(std::string_view path) override;
  bool IsFile(std::string_view path) override;
  std::optional<int64_t> Length(std::string_view path) override;
  std::optional<LocalTime> LastModified(std::string_view path) override;
  bool Delete(std::string_view path) override;
  bool Rename(std::string_view from, std::string_view to) override;
  bool Link(std::string_view from, std::string_view to) override;
  bool MakeFolder(std::string_view path) override;
  std::unique_ptr<InputFile> OpenForReading(std::string_view path,
                                            OpenOptions options) override;
  std::unique_ptr<OutputFile> OpenForWriting(std::string_view path,
                                             OpenOptions options) override;
  std::unique_ptr<OutputFile> OpenForAppending(std::string_view path,
                                               OpenOptions options) override;
  SwapClaim ClaimSwap(std::string_view path) override;
  std::string ToDriveForm(std::string_view linux_path) const override;
  std::optional<std::string> ToLinux(std::string_view path) const override;

 private:
  // Opens the file of `path` with open(2)'s `flags`: first as written, the
  // common case and one system call, then with the case of each name looked
  // up, which is also where a missing file is created.
  int Open(std::string_view path, int flags);
  std::unique_ptr<OutputFile> OpenOutput(std::string_view path, int flags,
                                         OpenOptions options);

  PathView paths_;
  FileNumbers& numbers_;
};

}  // namespace trovane

#endif  // TROVANE_PLATFORM_LINUX_FILE_SYSTEM_H_
