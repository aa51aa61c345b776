#include "trovane-cmd/folder_listing.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

#include "platform/drive_name.h"
#include "platform/text.h"

namespace trovane {
namespace {

// The store starts with this much room, so that a typical folder comes in
// one read followed by the read that reports its end, and doubles as it
// fills.
constexpr size_t kFirstRoom = size_t{64} << 10;
// Beyond this, a listing gives its memory back when trimmed: it held a
// huge folder, and keeping that much for ordinary ones would waste it.
constexpr size_t kKeptSize = 4 * kFirstRoom;

std::array<unsigned char, 256> MakeFoldTable() {
  std::array<unsigned char, 256> table{};
  for (int c = 0; c < 256; ++c) {
    table[c] = static_cast<unsigned char>(UpperAscii(static_cast<char>(c)));
  }
  return table;
}
const std::array<unsigned char, 256> kFold = MakeFoldTable();

// The bytes of a name the two order keys hold.
constexpr size_t kKeyedBytes = 16;

// Eight bytes of the upper-cased name from `from` on, big-endian, NULs
// past its end.
uint64_t OrderKey(const char* name, size_t size, size_t from) {
  uint64_t word = 0;
  if (from < size) {
    std::memcpy(&word, name + from, std::min<size_t>(8, size - from));
  }
  word = UpperAsciiWord(word);
  if constexpr (std::endian::native == std::endian::little) {
    word = __builtin_bswap64(word);
  }
  return word;
}

}  // namespace

void FolderListing::Clear() {
  used_ = 0;
  entries_.clear();
  passed_over_ = 0;
}

std::span<char> FolderListing::Room(size_t size) {
  if (store_.size() - used_ < size) {
    store_.resize(std::max({kFirstRoom, store_.size() * 2, used_ + size}));
  }
  return {store_.data() + used_, store_.size() - used_};
}

void FolderListing::Keep(size_t size) { used_ += size; }

void FolderListing::AddStored(size_t offset, size_t size, bool is_folder) {
  const char* name = store_.data() + offset;
  if (!HasDriveForm({name, size})) {
    ++passed_over_;
    return;
  }
  entries_.push_back(Entry{0, 0, static_cast<uint32_t>(offset),
                           static_cast<uint16_t>(size), is_folder});
}

void FolderListing::Add(std::string_view name, bool is_folder) {
  const std::span<char> room = Room(name.size() + 1);
  std::memcpy(room.data(), name.data(), name.size());
  room[name.size()] = '\0';
  const size_t offset = used_;
  Keep(name.size() + 1);
  AddStored(offset, name.size(), is_folder);
}

void FolderListing::TrimMemory() {
  if (store_.size() > kKeptSize) {
    Clear();
    store_ = std::vector<char>();
    entries_ = std::vector<Entry>();
  }
}

void FolderListing::Sort() {
  // The order of CompareNamesNoCase, taken in steps that suit a sort of
  // many names: the first sixteen bytes settle most comparisons through the
  // order keys, made once a name here rather than at every comparison, and
  // the rest of the name is only looked at on a tie there. A listing that
  // comes in order (from an index) needs no keys, so none are made before.
  for (Entry& entry : entries_) {
    const char* name = store_.data() + entry.name_offset;
    entry.order_key = OrderKey(name, entry.name_size, 0);
    entry.order_key_rest = OrderKey(name, entry.name_size, 8);
  }
  std::sort(
      entries_.begin(), entries_.end(), [this](const Entry& a, const Entry& b) {
        if (a.order_key != b.order_key) return a.order_key < b.order_key;
        if (a.order_key_rest != b.order_key_rest) {
          return a.order_key_rest < b.order_key_rest;
        }
        const auto* x = reinterpret_cast<const unsigned char*>(store_.data() +
                                                               a.name_offset);
        const auto* y = reinterpret_cast<const unsigned char*>(store_.data() +
                                                               b.name_offset);
        const size_t common = std::min(a.name_size, b.name_size);
        for (size_t i = kKeyedBytes; i < common; ++i) {
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
