#include "platform/index_format.h"

#include <algorithm>
#include <cstring>
#include <tuple>

namespace trovane {
namespace {

constexpr std::string_view kHeaderMagic = "TRVINDEX";
constexpr std::string_view kFooterMagic = "TRVINEND";
// Magic, version, the folder's size, the start time, the key of the shown
// paths' sums; then the folder and the checksum.
constexpr size_t kHeaderFixedSize = 8 + 4 + 4 + 8 + 8;
// Volume, id, changed, modified, names passed over, entries.
constexpr size_t kRecordFixedSize = 4 * 8 + 4 + 4;

template <typename T>
void Put(T value, std::string* out) {
  char bytes[sizeof value];
  std::memcpy(bytes, &value, sizeof value);
  out->append(bytes, sizeof value);
}

template <typename T>
T Get(std::string_view bytes, size_t at) {
  T value;
  std::memcpy(&value, bytes.data() + at, sizeof value);
  return value;
}

// The disk map's version in the footer: device, inode, size, modified and
// changed, all 0 when there is none.
constexpr size_t kMapVersionSize = 5 * sizeof(uint64_t);

std::string EncodeMapVersion(const std::optional<FileVersion>& map) {
  const FileVersion version = map.value_or(FileVersion{});
  std::string out;
  Put(version.device, &out);
  Put(version.inode, &out);
  Put(version.size, &out);
  Put(version.modified_ns, &out);
  Put(version.changed_ns, &out);
  return out;
}

std::optional<FileVersion> DecodeMapVersion(std::string_view bytes) {
  const FileVersion version{Get<uint64_t>(bytes, 0), Get<uint64_t>(bytes, 8),
                            Get<int64_t>(bytes, 16), Get<int64_t>(bytes, 24),
                            Get<int64_t>(bytes, 32)};
  if (version == FileVersion{}) return std::nullopt;
  return version;
}

}  // namespace

uint64_t IndexChecksum(std::string_view bytes) {
  // Eight bytes at a time, each mixed in by a multiplication and a
  // rotation: fast enough to check every record on the way.
  constexpr uint64_t kPrime = 0x9E3779B97F4A7C15ULL;
  uint64_t sum = bytes.size() * kPrime;
  size_t at = 0;
  for (; at + 8 <= bytes.size(); at += 8) {
    sum = ((sum ^ Get<uint64_t>(bytes, at)) * kPrime);
    sum ^= sum >> 29;
  }
  uint64_t last = 0;
  if (at < bytes.size()) {
    std::memcpy(&last, bytes.data() + at, bytes.size() - at);
  }
  sum = (sum ^ last) * kPrime;
  return sum ^ (sum >> 32);
}

std::string EncodeIndexHeader(const IndexHeader& header) {
  std::string out(kHeaderMagic);
  Put(kIndexVersion, &out);
  Put(static_cast<uint32_t>(header.start_folder.size()), &out);
  Put(header.started_ns, &out);
  Put(header.shown_key, &out);
  out.append(header.start_folder);
  Put(IndexChecksum(out), &out);
  return out;
}

size_t MostIndexHeaderSize(std::string_view start_folder) {
  return kHeaderFixedSize + start_folder.size() + sizeof(uint64_t);
}

std::optional<IndexHeader> DecodeIndexHeader(std::string_view bytes,
                                             size_t* size) {
  if (bytes.size() < kHeaderFixedSize ||
      bytes.substr(0, kHeaderMagic.size()) != kHeaderMagic ||
      Get<uint32_t>(bytes, 8) != kIndexVersion) {
    return std::nullopt;
  }
  const size_t folder_size = Get<uint32_t>(bytes, 12);
  const size_t checked = kHeaderFixedSize + folder_size;
  if (bytes.size() - kHeaderFixedSize < folder_size + sizeof(uint64_t) ||
      Get<uint64_t>(bytes, checked) !=
          IndexChecksum(bytes.substr(0, checked))) {
    return std::nullopt;
  }
  *size = checked + sizeof(uint64_t);
  return IndexHeader{std::string(bytes.substr(kHeaderFixedSize, folder_size)),
                     Get<int64_t>(bytes, 16), Get<uint64_t>(bytes, 24)};
}

IndexRecordWriter::IndexRecordWriter(const FolderStamp& stamp,
                                     size_t passed_over, size_t entries,
                                     std::string* out)
    : out_(out), start_(out->size()) {
  Put(uint64_t{0}, out);  // the checksum, once the body is there
  Put(stamp.volume, out);
  Put(stamp.id, out);
  Put(stamp.changed_ns, out);
  Put(stamp.modified_ns, out);
  Put(static_cast<uint32_t>(passed_over), out);
  Put(static_cast<uint32_t>(entries), out);
}

void IndexRecordWriter::Add(std::string_view name, bool is_folder) {
  Put(static_cast<uint16_t>(name.size()), out_);
  Put(static_cast<uint8_t>(is_folder), out_);
  out_->append(name);
}

void IndexRecordWriter::Seal() {
  const std::string_view record = *out_;
  const uint64_t sum = IndexChecksum(record.substr(start_ + sizeof(uint64_t)));
  std::memcpy(out_->data() + start_, &sum, sizeof sum);
}

std::optional<FolderStamp> RecordStamp(std::string_view record) {
  if (record.size() < sizeof(uint64_t) + kRecordFixedSize) return std::nullopt;
  const std::string_view body = record.substr(sizeof(uint64_t));
  FolderStamp stamp;
  stamp.volume = Get<uint64_t>(body, 0);
  stamp.id = Get<uint64_t>(body, 8);
  stamp.changed_ns = Get<int64_t>(body, 16);
  stamp.modified_ns = Get<int64_t>(body, 24);
  return stamp;
}

bool SameEntries(std::string_view record, std::string_view other) {
  // What follows the checksum and the stamp (volume, id, changed and
  // modified): the names passed over, the count of entries and the entries.
  constexpr size_t kStampEnd = sizeof(uint64_t) + 4 * sizeof(uint64_t);
  return IndexEntries::Of(record) && IndexEntries::Of(other) &&
         record.substr(kStampEnd) == other.substr(kStampEnd);
}

std::optional<IndexEntries> IndexEntries::Of(std::string_view record) {
  if (record.size() < sizeof(uint64_t) + kRecordFixedSize) return std::nullopt;
  const std::string_view body = record.substr(sizeof(uint64_t));
  if (Get<uint64_t>(record, 0) != IndexChecksum(body)) return std::nullopt;
  const uint32_t passed_over = Get<uint32_t>(body, 32);
  const uint32_t entries = Get<uint32_t>(body, 36);
  size_t at = kRecordFixedSize;
  bool holds_folders = false;
  for (uint32_t i = 0; i < entries; ++i) {
    if (body.size() - at < kEntryFixedSize) return std::nullopt;
    const size_t name_size = Get<uint16_t>(body, at);
    holds_folders = holds_folders || body[at + 2] != 0;
    at += kEntryFixedSize;
    if (body.size() - at < name_size) return std::nullopt;
    at += name_size;
  }
  if (at != body.size()) return std::nullopt;
  return IndexEntries(body.substr(kRecordFixedSize), passed_over,
                      holds_folders);
}

uint64_t ShownSum(uint64_t key, std::string_view filter_key,
                  std::string_view shown) {
  std::string bytes;
  bytes.reserve(sizeof key + filter_key.size() + 1 + shown.size());
  Put(key, &bytes);
  bytes.append(filter_key).append(1, '\0').append(shown);
  return IndexChecksum(bytes);
}

std::string EncodeIndexTable(const std::vector<IndexSlot>& table,
                             uint64_t table_offset,
                             const std::optional<FileVersion>& map) {
  std::string out;
  out.reserve(table.size() * kIndexSlotSize + kIndexFooterSize);
  for (const IndexSlot& slot : table) {
    Put(slot.volume, &out);
    Put(slot.id, &out);
    Put(slot.offset, &out);
    Put(slot.size, &out);
    Put(slot.lines.offset, &out);
    Put(slot.lines.size, &out);
    Put(slot.lines.shown_sum, &out);
  }
  const std::string map_bytes = EncodeMapVersion(map);
  const uint64_t sum = IndexChecksum(out + map_bytes);
  Put(table_offset, &out);
  Put(static_cast<uint64_t>(table.size()), &out);
  Put(sum, &out);
  out.append(map_bytes);
  out.append(kFooterMagic);
  return out;
}

std::optional<IndexFooter> DecodeIndexFooter(std::string_view bytes,
                                             uint64_t file_size) {
  if (bytes.size() != kIndexFooterSize ||
      bytes.substr(kIndexFooterSize - kFooterMagic.size()) != kFooterMagic) {
    return std::nullopt;
  }
  const IndexFooter footer{Get<uint64_t>(bytes, 0), Get<uint64_t>(bytes, 8),
                           Get<uint64_t>(bytes, 16),
                           DecodeMapVersion(bytes.substr(24, kMapVersionSize))};
  // The table runs from its offset up to the footer, a slot at a time.
  if (file_size < kIndexFooterSize ||
      footer.table_offset > file_size - kIndexFooterSize ||
      (file_size - kIndexFooterSize - footer.table_offset) / kIndexSlotSize !=
          footer.slot_count ||
      (file_size - kIndexFooterSize - footer.table_offset) % kIndexSlotSize !=
          0) {
    return std::nullopt;
  }
  return footer;
}

std::optional<std::vector<IndexSlot>> DecodeIndexTable(
    std::string_view bytes, const IndexFooter& footer, size_t records_start) {
  if (bytes.size() != footer.slot_count * kIndexSlotSize ||
      IndexChecksum(std::string(bytes) + EncodeMapVersion(footer.map)) !=
          footer.checksum) {
    return std::nullopt;
  }
  std::vector<IndexSlot> slots(footer.slot_count);
  for (size_t i = 0; i < slots.size(); ++i) {
    const size_t at = i * kIndexSlotSize;
    IndexSlot& slot = slots[i];
    slot = {Get<uint64_t>(bytes, at),
            Get<uint64_t>(bytes, at + 8),
            Get<uint64_t>(bytes, at + 16),
            Get<uint64_t>(bytes, at + 24),
            {Get<uint64_t>(bytes, at + 32), Get<uint64_t>(bytes, at + 40),
             Get<uint64_t>(bytes, at + 48)}};
    if (slot.offset < records_start || slot.offset > footer.table_offset ||
        slot.size > footer.table_offset - slot.offset ||
        (i > 0 && std::tie(slots[i - 1].volume, slots[i - 1].id) >=
                      std::tie(slot.volume, slot.id))) {
      return std::nullopt;
    }
  }
  return slots;
}

}  // namespace trovane
