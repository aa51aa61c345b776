// An open handle of this machine's disk under a file number: what
// WindowsFileSystem hands out for reading and for writing. Bytes go through
// as they are: no text mode turns a line end into another.
#ifndef TROVANE_PLATFORM_WINDOWS_WINDOWS_FILE_H_
#define TROVANE_PLATFORM_WINDOWS_WINDOWS_FILE_H_

#include <memory>
#include <string_view>

#include "platform/file_numbers.h"
#include "platform/input_file.h"
#include "platform/output_file.h"
#include "platform/windows/unique_handle.h"

namespace trovane {

class WindowsFile final : public ReadableFile,
                          public WritableFile,
                          private FileNumbers::Holder {
 public:
  // How writes go: where the file stands, or each at the file's end
  // whatever another handle wrote meanwhile.
  enum class Writes { kInPlace, kAtEnd };

  // The handle under the lowest free number; null (the handle closed) when
  // no number is free. Without `numbers`, it takes none.
  static std::unique_ptr<WindowsFile> Take(UniqueHandle handle,
                                           FileNumbers* numbers,
                                           Writes writes = Writes::kInPlace);
  WindowsFile(const WindowsFile&) = delete;
  WindowsFile& operator=(const WindowsFile&) = delete;
  ~WindowsFile() override = default;

  int number() const override { return lease_.number(); }
  std::optional<size_t> Read(char* out, size_t size) override;
  bool Write(std::string_view bytes) override;
  bool Sync() override;
  bool Truncate(int64_t size) override;
  bool Close() override;

 private:
  WindowsFile(UniqueHandle handle, Writes writes)
      : handle_(std::move(handle)), writes_(writes) {}
  void CloseForAll() override { handle_.Reset(); }

  UniqueHandle handle_;
  Writes writes_;
  FileNumbers::Lease lease_;
};

// Writes every byte of `bytes` to `handle`, at its end when `at_end`; true
// when all of them were written.
bool WriteAll(HANDLE handle, std::string_view bytes, bool at_end = false);

}  // namespace trovane

#endif  // TROVANE_PLATFORM_WINDOWS_WINDOWS_FILE_H_
