#include "trovane-cmd/folder_listing.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstddef>
#include <cstring>

#include "platform/linux/path_view.h"
#include "platform/text.h"

namespace trovane {
namespace {

// A listing starts with this much room, so that a typical folder comes in
// one read, followed by the read that reports its end; it grows when less
// than kLeastRoom is left for the next read.
constexpr size_t kReadSize = size_t{64} << 10;
constexpr size_t kLeastRoom = size_t{16} << 10;
// Beyond this, a listing gives its memory back when trimmed: it held a
// huge folder, and keeping that much for ordinary ones would waste it.
constexpr size_t kKeptSize = 4 * kReadSize;

std::array<unsigned char, 256> MakeFoldTable() {
  std::array<unsigned char, 256> table{};
  for (int c = 0; c < 256; ++c) {
    table[c] = static_cast<unsigned char>(UpperAscii(static_cast<char>(c)));
  }
  return table;
}
const std::array<unsigned char, 256> kFold = MakeFoldTable();

uint64_t OrderKey(const char* name, size_t size) {
  uint64_t key = 0;
  for (size_t i = 0; i < 8; ++i) {
    const unsigned char c =
        i < size ? kFold[static_cast<unsigned char>(name[i])] : 0;
    key = (key << 8) | c;
  }
  return key;
}

// The kernel's record layout for getdents64: inode, offset, record length,
// type, then the NUL-terminated name.
constexpr size_t kRecordLengthAt = offsetof(dirent64, d_reclen);
constexpr size_t kTypeAt = offsetof(dirent64, d_type);
constexpr size_t kNameAt = offsetof(dirent64, d_name);

bool IsFolderByStat(int fd, const char* name) {
  struct stat info;
  return fstatat(fd, name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
         S_ISDIR(info.st_mode);
}

}  // namespace

void FolderListing::Clear() {
  used_ = 0;
  entries_.clear();
}

bool FolderListing::Append(int fd) {
  const size_t kept_bytes = used_;
  const size_t kept_entries = entries_.size();
  for (;;) {
    if (records_.size() < used_ + kLeastRoom) {
      records_.resize(std::max(kReadSize, records_.size() * 2));
    }
    const ssize_t got =
        getdents64(fd, records_.data() + used_, records_.size() - used_);
    if (got == 0) {
      return true;
    }
    if (got < 0 && errno == EINTR) {
      continue;
    }
    if (got < 0 || !AddRecords(fd, used_, static_cast<size_t>(got))) {
      used_ = kept_bytes;
      entries_.resize(kept_entries);
      return false;
    }
    used_ += static_cast<size_t>(got);
  }
}

bool FolderListing::AddRecords(int fd, size_t offset, size_t size) {
  const size_t end = offset + size;
  while (offset < end) {
    const char* record = records_.data() + offset;
    uint16_t record_length;
    std::memcpy(&record_length, record + kRecordLengthAt, sizeof record_length);
    if (record_length == 0) {
      return false;
    }
    const char* name = record + kNameAt;
    const unsigned char type = static_cast<unsigned char>(record[kTypeAt]);
    const size_t name_size = strnlen(name, record_length - kNameAt);
    if (!IsHiddenName(std::string_view(name, name_size))) {
      const bool is_folder =
          type == DT_DIR || (type == DT_UNKNOWN && IsFolderByStat(fd, name));
      entries_.push_back(Entry{OrderKey(name, name_size),
                               static_cast<uint32_t>(name - records_.data()),
                               static_cast<uint16_t>(name_size), is_folder});
    }
    offset += record_length;
  }
  return true;
}

void FolderListing::CopyFoldersOf(const FolderListing& source, size_t first) {
  Clear();
  for (const Entry& entry : source.entries().subspan(first)) {
    if (!entry.is_folder) {
      continue;
    }
    const size_t needed = used_ + entry.name_size + 1;
    if (records_.size() < needed) {
      records_.resize(std::max(needed, records_.size() * 2));
    }
    std::memcpy(records_.data() + used_,
                source.records_.data() + entry.name_offset,
                entry.name_size + 1);
    entries_.push_back(entry);
    entries_.back().name_offset = static_cast<uint32_t>(used_);
    used_ = needed;
  }
}

void FolderListing::TrimMemory() {
  if (records_.size() > kKeptSize) {
    Clear();
    records_ = std::vector<char>();
    entries_ = std::vector<Entry>();
  }
}

void FolderListing::Sort(size_t first, size_t end) {
  // The order of CompareNamesNoCase, taken in steps that suit a sort of
  // many names: the first eight bytes settle most comparisons through the
  // order key, and the rest of the name is only looked at on a tie there.
  std::sort(entries_.begin() + static_cast<std::ptrdiff_t>(first),
            entries_.begin() + static_cast<std::ptrdiff_t>(end),
            [this](const Entry& a, const Entry& b) {
              if (a.order_key != b.order_key) {
                return a.order_key < b.order_key;
              }
              const auto* x = reinterpret_cast<const unsigned char*>(
                  records_.data() + a.name_offset);
              const auto* y = reinterpret_cast<const unsigned char*>(
                  records_.data() + b.name_offset);
              const size_t common = std::min(a.name_size, b.name_size);
              for (size_t i = sizeof a.order_key; i < common; ++i) {
                if (kFold[x[i]] != kFold[y[i]]) {
                  return kFold[x[i]] < kFold[y[i]];
                }
              }
              if (a.name_size != b.name_size) {
                return a.name_size < b.name_size;
              }
              return std::memcmp(x, y, a.name_size) < 0;
            });
}

}  // namespace trovane
