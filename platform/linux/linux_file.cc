#include "platform/linux/linux_file.h"

#include <sys/vfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/linux/folder_times.h"

namespace trovane {
namespace {

// How much of the file is read back at a time to be compared.
constexpr size_t kComparedPiece = size_t{256} << 10;

}  // namespace

FileVersion VersionOf(const struct stat& info) {
  return {static_cast<uint64_t>(info.st_dev),
          static_cast<uint64_t>(info.st_ino),
          static_cast<int64_t>(info.st_size), Nanoseconds(info.st_mtim),
          Nanoseconds(info.st_ctim)};
}

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
  // The old bytes are read back a large piece at a time, however small the
  // writes: one read then stands for many of them.
  compared_.resize(kComparedPiece);
  int64_t at = same_bytes_;
  while (!bytes.empty()) {
    if (at < compared_at_ ||
        at >= compared_at_ + static_cast<int64_t>(compared_size_)) {
      const ssize_t n =
          pread(fd_.get(), compared_.data(), compared_.size(), at);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return false;
      compared_at_ = at;
      compared_size_ = static_cast<size_t>(n);
    }
    const size_t from = static_cast<size_t>(at - compared_at_);
    const size_t piece = std::min(compared_size_ - from, bytes.size());
    if (std::memcmp(compared_.data() + from, bytes.data(), piece) != 0) {
      return false;
    }
    bytes.remove_prefix(piece);
    at += static_cast<int64_t>(piece);
  }
  return true;
}

bool LinuxFile::PassOverSame(size_t size) {
  if (!comparing_) return false;
  // Nothing is written while comparing, so the size is the one the file
  // had when it was opened; bytes beyond it are not there to pass over.
  if (size_compared_ < 0) {
    struct stat info;
    if (fstat(fd_.get(), &info) != 0) return false;
    size_compared_ = static_cast<int64_t>(info.st_size);
  }
  if (static_cast<int64_t>(size) > size_compared_ - same_bytes_) return false;
  same_bytes_ += static_cast<int64_t>(size);
  return true;
}

std::optional<FileVersion> LinuxFile::Version() const {
  // Where folder times are kept faithfully, so is a file's change time;
  // elsewhere (a network or user-space file system) a write may not show
  // in it at once, or at all.
  struct stat info;
  struct statfs file_system;
  if (!fd_.valid() || fstat(fd_.get(), &info) != 0 || !S_ISREG(info.st_mode) ||
      fstatfs(fd_.get(), &file_system) != 0 || !KeepsFolderTimes(file_system)) {
    return std::nullopt;
  }
  return VersionOf(info);
}

bool LinuxFile::Sync() { return fd_.valid() && fdatasync(fd_.get()) == 0; }

bool LinuxFile::Truncate(int64_t size) {
  if (!fd_.valid()) return false;
  // A file that has the size already keeps its times: a disk map found the
  // same as the last one is left as it stood, version and all.
  struct stat info;
  if (fstat(fd_.get(), &info) == 0 && info.st_size == size) return true;
  return ftruncate(fd_.get(), size) == 0;
}

bool LinuxFile::Close() {
  lease_.Release();
  return fd_.Reset();
}

}  // namespace trovane
