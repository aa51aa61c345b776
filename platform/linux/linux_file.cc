#include "platform/linux/linux_file.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace trovane {
namespace {

// How much of the file is read back at a time to be compared.
constexpr size_t kComparedPiece = size_t{256} << 10;

}  // namespace

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
  if (!fd_.valid()) return false;
  if (comparing_) {
    if (HoldsAlready(bytes)) {
      same_bytes_ += static_cast<int64_t>(bytes.size());
      return true;
    }
    // Past a difference the old bytes have most likely moved: comparing
    // them would only cost a read for every write.
    comparing_ = false;
    if (lseek(fd_.get(), same_bytes_, SEEK_SET) != same_bytes_) return false;
  }
  return WriteAll(fd_.get(), bytes);
}

bool LinuxFile::HoldsAlready(std::string_view bytes) {
  const size_t room = std::min(kComparedPiece, bytes.size());
  if (compared_.size() < room) compared_.resize(room);
  for (size_t done = 0; done < bytes.size();) {
    const size_t piece = std::min(compared_.size(), bytes.size() - done);
    const ssize_t n = pread(fd_.get(), compared_.data(), piece,
                            same_bytes_ + static_cast<int64_t>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0 || std::memcmp(compared_.data(), bytes.data() + done,
                              static_cast<size_t>(n)) != 0) {
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
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
