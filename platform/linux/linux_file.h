// An open descriptor of this machine's disk under a file number: what
// LinuxFileSystem hands out for reading and for writing.
#ifndef TROVANE_PLATFORM_LINUX_FILE_H_
#define TROVANE_PLATFORM_LINUX_FILE_H_

#include <memory>
#include <string_view>

#include "platform/file_numbers.h"
#include "platform/input_file.h"
#include "platform/linux/unique_fd.h"
#include "platform/output_file.h"

namespace trovane {

class LinuxFile final : public ReadableFile,
                        public WritableFile,
                        private FileNumbers::Holder {
 public:
  // The descriptor under the lowest free number; null (the descriptor
  // closed) when no number is free. Without `numbers`, it takes none.
  static std::unique_ptr<LinuxFile> Take(UniqueFd fd, FileNumbers* numbers);
  LinuxFile(const LinuxFile&) = delete;
  LinuxFile& operator=(const LinuxFile&) = delete;
  ~LinuxFile() override = default;

  int number() const override { return lease_.number(); }
  std::optional<size_t> Read(char* out, size_t size) override;
  bool Write(std::string_view bytes) override;
  bool Sync() override;
  bool Truncate(int64_t size) override;
  bool Close() override;

 private:
  explicit LinuxFile(UniqueFd fd) : fd_(std::move(fd)) {}
  void CloseForAll() override { fd_.Reset(); }

  UniqueFd fd_;
  FileNumbers::Lease lease_;
};

}  // namespace trovane

#endif  // TROVANE_PLATFORM_LINUX_FILE_H_
