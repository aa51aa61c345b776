// A listing's index as a broken disk may hand it back: any bytes at all.
// Opening them never reads outside them, and every entry of every record
// recalled lies inside that record. The first bytes of the input also name
// a few entries, written as a record and a table of their own: those read
// back as written, and a spoilt byte in the record is always told.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "fuzz/property.h"
#include "platform/index_files.h"
#include "platform/index_format.h"
#include "platform/past_index.h"

namespace trovane::fuzz {
namespace {

class BytesSource : public IndexSource {
 public:
  explicit BytesSource(std::string bytes) : bytes_(std::move(bytes)) {}
  uint64_t size() const override { return bytes_.size(); }
  bool ReadAt(uint64_t offset, std::span<char> out) const override {
    if (offset > bytes_.size() || out.size() > bytes_.size() - offset) {
      return false;
    }
    std::memcpy(out.data(), bytes_.data() + offset, out.size());
    return true;
  }

 private:
  const std::string bytes_;
};

uint64_t Word(std::string_view bytes, size_t at) {
  uint64_t word = 0;
  if (at < bytes.size()) {
    std::memcpy(&word, bytes.data() + at,
                std::min<size_t>(8, bytes.size() - at));
  }
  return word;
}

// Recalls the folders the bytes might hold, under every stamp their first
// bytes could name, and checks what comes back.
void RecallAnything(std::string_view input) {
  const std::unique_ptr<PastIndex> index = PastIndex::OpenOfAnyFolder(
      std::make_unique<BytesSource>(std::string(input)));
  if (index == nullptr) return;
  std::string record;
  for (size_t at = 0; at + 2 * sizeof(uint64_t) <= input.size() && at < 4096;
       at += sizeof(uint64_t)) {
    const FolderStamp stamp{Word(input, at), Word(input, at + 8),
                            static_cast<int64_t>(Word(input, at + 16)),
                            static_cast<int64_t>(Word(input, at + 24)), true};
    MapPlacement lines;
    std::optional<IndexEntries> entries = index->Recall(stamp, &record, &lines);
    if (!entries && index->RecordOf(stamp.volume, stamp.id, &record)) {
      entries = IndexEntries::Of(record);
    }
    if (!entries) continue;
    entries->ForEach([&record](std::string_view name, bool) {
      Require(LiesWithin(name, record), "a recalled name lies in its record");
    });
  }
}

// Writes the names the input starts with as a folder's record, and checks
// that they read back as written, and that no spoilt byte goes unseen.
void RoundTrip(std::string_view input) {
  std::vector<std::pair<std::string, bool>> names;
  std::string_view rest = input.substr(0, std::min<size_t>(input.size(), 512));
  while (rest.size() >= 2 && names.size() < 16) {
    const size_t size = std::min<size_t>(rest[0] & 0x3F, rest.size() - 2);
    names.emplace_back(std::string(rest.substr(2, size)), (rest[1] & 1) != 0);
    rest.remove_prefix(2 + size);
  }
  const FolderStamp stamp{Word(input, 0), Word(input, 8), 1, 2, true};
  std::string bytes = EncodeIndexHeader({"C:\\T", 1'000'000'000'000, 7});
  const uint64_t offset = bytes.size();
  IndexRecordWriter writer(stamp, 3, names.size(), &bytes);
  for (const auto& [name, is_folder] : names) writer.Add(name, is_folder);
  writer.Seal();
  const uint64_t table = bytes.size();
  const MapPlacement placed{Word(input, 16), Word(input, 24), 5};
  bytes += EncodeIndexTable(
      {{stamp.volume, stamp.id, offset, table - offset, placed}}, table,
      std::nullopt);
  const std::unique_ptr<PastIndex> index =
      PastIndex::Open(std::make_unique<BytesSource>(bytes), "C:\\T");
  Require(index != nullptr, "an index as written opens");
  Require(index->shown_key() == 7 && !index->map(), "the header reads back");
  std::string record;
  MapPlacement lines;
  const std::optional<IndexEntries> entries =
      index->Recall(stamp, &record, &lines);
  Require(entries.has_value(), "a record as written is recalled");
  Require(lines == placed, "the placement reads back");
  Require(entries->passed_over() == 3, "the names passed over read back");
  size_t i = 0;
  entries->ForEach([&](std::string_view name, bool is_folder) {
    Require(i < names.size() && name == names[i].first &&
                is_folder == names[i].second,
            "each entry reads back in order");
    ++i;
  });
  Require(i == names.size(), "every entry reads back");
  // A byte of the record's body spoilt, wherever the input says.
  std::string spoilt = record;
  const size_t at = 8 + Word(input, 32) % (spoilt.size() - 8);
  spoilt[at] = static_cast<char>(spoilt[at] ^ (1 + (input.size() & 0x7F)));
  Require(!IndexEntries::Of(spoilt), "a spoilt record fails its checksum");
}

}  // namespace
}  // namespace trovane::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  trovane::fuzz::RecallAnything(input);
  trovane::fuzz::RoundTrip(input);
  return 0;
}
