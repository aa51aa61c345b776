// An open descriptor of this machine's disk under a file number: what
// LinuxFileSystem hands out for reading and for writing.
#ifndef TROVANE_PLATFORM_LINUX_FILE_H_
#define TROVANE_PLATFORM_LINUX_FILE_H_

#include <sys/stat.h>

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/file_numbers.h"
#include "platform/input_file.h"
#include "platform/linux/unique_fd.h"
#include "platform/output_file.h"

namespace trovane {

// The version of the file a stat tells of.
FileVersion VersionOf(const struct stat& info);

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

  // For a file written over from its start: while the bytes written are
  // those already there, they are compared and left alone, and from the
  // first difference on everything is written. A listing that finds the
  // disk as it was then dirties no page of its last disk map, which on a
  // repeat costs more than reading the map back.
  void LeaveSameBytesAlone() { comparing_ = true; }

  int number() const override { return lease_.number(); }
  std::optional<size_t> Read(char* out, size_t size) override;
  bool Write(std::string_view bytes) override;
  bool TakesSmallWrites() const override { return comparing_; }
  bool PassOverSame(size_t size) override;
  // An ordinary file's on a file system that keeps times faithfully:
  // every write moves its change time, which no one can set back.
  std::optional<FileVersion> Version() const override;
  bool Sync() override;
  bool Truncate(int64_t size) override;
  bool Close() override;

 private:
  explicit LinuxFile(UniqueFd fd) : fd_(std::move(fd)) {}
  void CloseForAll() override { fd_.Reset(); }
  // True when the file holds `bytes` already where they would go.
  bool HoldsAlready(std::string_view bytes);

  UniqueFd fd_;
  FileNumbers::Lease lease_;
  bool comparing_ = false;
  int64_t same_bytes_ = 0;      // from the start, left alone
  int64_t size_compared_ = -1;  // the file's size, once passing over asks
  // The old bytes read back ahead of the writes, from `compared_at_` on.
  std::vector<char> compared_;
  int64_t compared_at_ = 0;
  size_t compared_size_ = 0;
};

}  // namespace trovane

#endif  // TROVANE_PLATFORM_LINUX_FILE_H_
