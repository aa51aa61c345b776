#include "platform/linux/linux_index_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <utility>

#include "platform/linux/folder_times.h"
#include "platform/linux/unique_fd.h"

namespace trovane {
namespace {

constexpr std::string_view kNewSuffix = ".new";

// The folder that holds the disk map `target`, and the map's name.
struct TargetPlace {
  UniqueFd folder;
  std::string name;
};

std::optional<TargetPlace> PlaceOf(const PathView& paths,
                                   std::string_view target) {
  const std::optional<PathView::Split> split = paths.SplitLast(target);
  if (!split || split->name.empty()) return std::nullopt;
  UniqueFd folder(
      open(split->folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!folder.valid()) return std::nullopt;
  return TargetPlace{std::move(folder), split->name};
}

class LinuxIndexSource : public IndexSource {
 public:
  LinuxIndexSource(UniqueFd fd, uint64_t size)
      : fd_(std::move(fd)), size_(size) {}

  uint64_t size() const override { return size_; }

  bool ReadAt(uint64_t offset, std::span<char> out) const override {
    while (!out.empty()) {
      const ssize_t got =
          pread(fd_.get(), out.data(), out.size(), static_cast<off_t>(offset));
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) return false;
      out = out.subspan(static_cast<size_t>(got));
      offset += static_cast<uint64_t>(got);
    }
    return true;
  }

 private:
  const UniqueFd fd_;
  const uint64_t size_;
};

class LinuxIndexSink : public IndexSink {
 public:
  LinuxIndexSink(UniqueFd folder, std::string name, UniqueFd fd)
      : folder_(std::move(folder)),
        name_(std::move(name)),
        fd_(std::move(fd)) {}

  ~LinuxIndexSink() override {
    if (!committed_) unlinkat(folder_.get(), NewName().c_str(), 0);
  }

  bool Write(std::string_view bytes) override {
    ok_ = ok_ && WriteAll(fd_.get(), bytes);
    return ok_;
  }

  bool Commit() override {
    if (!ok_ || !fd_.Reset()) return false;
    committed_ = renameat(folder_.get(), NewName().c_str(), folder_.get(),
                          name_.c_str()) == 0;
    return committed_;
  }

 private:
  std::string NewName() const { return name_ + std::string(kNewSuffix); }

  const UniqueFd folder_;
  const std::string name_;
  UniqueFd fd_;
  bool ok_ = true;
  bool committed_ = false;
};

}  // namespace

std::string LinuxIndexFiles::IndexName(std::string_view target_name,
                                       int ordinal) {
  std::string name = "." + std::string(target_name);
  if (ordinal != 1) name += "." + std::to_string(ordinal);
  return name + ".index";
}

std::unique_ptr<IndexSource> LinuxIndexFiles::OpenLast(std::string_view target,
                                                       int ordinal) {
  const std::optional<TargetPlace> place = PlaceOf(paths_, target);
  if (!place) return nullptr;
  UniqueFd fd(openat(place->folder.get(),
                     IndexName(place->name, ordinal).c_str(),
                     O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
  struct stat info;
  // What another user owns or may write decides nothing of a listing.
  if (!fd.valid() || fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode) ||
      info.st_uid != geteuid() || (info.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
    return nullptr;
  }
  return std::make_unique<LinuxIndexSource>(
      std::move(fd), static_cast<uint64_t>(info.st_size));
}

std::unique_ptr<IndexSink> LinuxIndexFiles::StartNext(std::string_view target,
                                                      int ordinal) {
  std::optional<TargetPlace> place = PlaceOf(paths_, target);
  if (!place) return nullptr;
  std::string name = IndexName(place->name, ordinal);
  const std::string new_name = name + std::string(kNewSuffix);
  // What a listing killed while writing left; a link there is removed
  // itself, never followed.
  unlinkat(place->folder.get(), new_name.c_str(), 0);
  UniqueFd fd(openat(place->folder.get(), new_name.c_str(),
                     O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                     0600));
  if (!fd.valid()) return nullptr;
  return std::make_unique<LinuxIndexSink>(std::move(place->folder),
                                          std::move(name), std::move(fd));
}

int64_t LinuxIndexFiles::NowNs() const {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  return Nanoseconds(now);
}

}  // namespace trovane
