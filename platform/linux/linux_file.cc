#include "platform/linux/linux_file.h"

#include <unistd.h>

#include <cerrno>

namespace trovane {

std::unique_ptr<LinuxFile> LinuxFile::Take(UniqueFd fd, FileNumbers* numbers) {
  std::unique_ptr<LinuxFile> file(new LinuxFile(std::move(fd)));
  if (numbers == nullptr) return file;
  file->lease_ = numbers->Take(file.get());
  if (file->lease_.number() == 0) return nullptr;
  return file;
}

std::optional<size_t> LinuxFile::Read(char* out, size_t size) {
  for (;;) {
    if (!fd_.valid()) return std::nullopt;
    const ssize_t n = read(fd_.get(), out, size);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return std::nullopt;
    return static_cast<size_t>(n);
  }
}

bool LinuxFile::Write(std::string_view bytes) {
  return fd_.valid() && WriteAll(fd_.get(), bytes);
}

bool LinuxFile::Sync() { return fd_.valid() && fdatasync(fd_.get()) == 0; }

bool LinuxFile::Truncate(int64_t size) {
  return fd_.valid() && ftruncate(fd_.get(), size) == 0;
}

bool LinuxFile::Close() {
  lease_.Release();
  return fd_.Reset();
}

}  // namespace trovane
