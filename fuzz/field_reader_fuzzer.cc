// The readers of the wanted-entry list and of every databank: fields and
// lines read from a file, however its bytes arrive. The input's first byte
// chooses how many bytes each read of the file brings (1 to 16), the rest
// is the file; the fields and lines read must be what the rules say, as a
// plain reading of the whole text gives them, whatever the reads' sizes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/property.h"
#include "platform/input_file.h"

namespace trovane::fuzz {
namespace {

// A file in memory whose reads bring at most `chunk` bytes each.
class ChunkedFile : public ReadableFile {
 public:
  ChunkedFile(std::string_view bytes, size_t chunk)
      : bytes_(bytes), chunk_(chunk) {}
  int number() const override { return 1; }
  std::optional<size_t> Read(char* out, size_t size) override {
    const size_t n = std::min({size, chunk_, bytes_.size() - at_});
    std::memcpy(out, bytes_.data() + at_, n);
    at_ += n;
    return n;
  }
  bool Close() override { return true; }

 private:
  std::string_view bytes_;
  size_t chunk_;
  size_t at_ = 0;
};

// An unquoted field loses the CR of its line end, then its last blanks.
std::string TrimFieldEnd(std::string_view field) {
  if (!field.empty() && field.back() == '\r') field.remove_suffix(1);
  while (!field.empty() && field.back() == ' ') field.remove_suffix(1);
  return std::string(field);
}

// The fields of `text` as the rule for comma-delimited fields reads them.
std::vector<std::string> FieldsByTheRule(std::string_view text) {
  std::vector<std::string> fields;
  size_t at = 0;
  while (at < text.size()) {
    while (at < text.size() && text[at] == ' ') ++at;
    std::string field;
    if (at < text.size() && text[at] == '"') {
      const size_t end =
          std::min(text.find_first_of("\n\"", at + 1), text.size());
      field = text.substr(at + 1, end - at - 1);
      if (end < text.size() && text[end] == '"') {
        // What follows the closing quote up to the field's end is dropped.
        at = std::min(text.find_first_of(",\n", end + 1), text.size());
      } else {
        // A quote never closed ends with its line.
        if (!field.empty() && field.back() == '\r') field.pop_back();
        at = end;
      }
    } else {
      const size_t end = std::min(text.find_first_of(",\n", at), text.size());
      field = TrimFieldEnd(text.substr(at, end - at));
      at = end;
    }
    if (at < text.size()) ++at;  // the comma or the line feed
    fields.push_back(std::move(field));
  }
  return fields;
}

// The lines of `text`: up to each line feed, a CR before it belonging to
// the line end; the last line needs none.
std::vector<std::string> LinesByTheRule(std::string_view text) {
  std::vector<std::string> lines;
  size_t at = 0;
  while (at < text.size()) {
    const size_t end = std::min(text.find('\n', at), text.size());
    std::string line(text.substr(at, end - at));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    at = end + 1;
  }
  return lines;
}

InputFile Open(std::string_view text, size_t chunk) {
  return InputFile(std::make_unique<ChunkedFile>(text, chunk));
}

}  // namespace
}  // namespace trovane::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace trovane;        // NOLINT(google-build-using-namespace)
  using namespace trovane::fuzz;  // NOLINT(google-build-using-namespace)
  if (size == 0) return 0;
  const size_t chunk = 1 + data[0] % 16;
  const std::string_view text(reinterpret_cast<const char*>(data) + 1,
                              size - 1);
  const std::vector<std::string> fields = FieldsByTheRule(text);

  // Field by field into a string, the reads as small as chosen.
  InputFile copied = Open(text, chunk);
  std::vector<std::string> read;
  for (std::string field; copied.ReadField(&field);) read.push_back(field);
  Require(read == fields, "fields read in small reads follow the rule");
  Require(copied.AtEnd() && !copied.failed(), "the reader ends at the end");

  // Field by field as views, the whole file in one read.
  InputFile viewed = Open(text, text.size() + 1);
  read.clear();
  std::string spill;
  for (std::string_view field; viewed.ReadField(&field, &spill);) {
    read.emplace_back(field);
  }
  Require(read == fields, "fields read as views follow the rule");

  InputFile lines = Open(text, chunk);
  read.clear();
  for (std::string line; lines.ReadLine(&line);) read.push_back(line);
  Require(read == LinesByTheRule(text), "lines follow the rule");
  return 0;
}
