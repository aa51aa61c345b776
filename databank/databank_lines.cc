#include "databank/databank_lines.h"

#include "databank/entry_line.h"
#include "platform/text.h"

namespace trovane {

DatabankLines::DatabankLines(std::string bytes) : bytes_(std::move(bytes)) {
  // A byte-order mark that an editor put first is not part of the first
  // line's key; a rewrite keeps it where it is.
  size_t start = std::string_view{bytes_}.starts_with(kByteOrderMark)
                     ? kByteOrderMark.size()
                     : 0;
  while (start < bytes_.size()) {
    const size_t feed = bytes_.find('\n', start);
    const size_t end = feed == std::string::npos ? bytes_.size() : feed;
    // A CR at the end belongs to the line end, also on the last line.
    const bool cr = end > start && bytes_[end - 1] == '\r';
    // A line without its LF, or with a bare one, comes back from a rewrite
    // with CR LF: not byte for byte.
    if (feed == std::string::npos || !cr) appendable_ = false;
    TakeLine(start, end - start - (cr ? 1 : 0));
    start = end + 1;
  }
}

void DatabankLines::TakeLine(size_t start, size_t length) {
  const std::string_view line = std::string_view{bytes_}.substr(start, length);
  if (FateOnRewrite(line, {}) != LineFate::kKeep) appendable_ = false;
  if (line.find('=') != std::string_view::npos) {
    first_of_key_.try_emplace(UpperAscii(SplitEntry(line).key), lines_.size());
  }
  lines_.emplace_back(start, length);
}

std::optional<size_t> DatabankLines::FirstOf(
    const std::string& upper_key) const {
  const auto it = first_of_key_.find(upper_key);
  if (it == first_of_key_.end()) return std::nullopt;
  return it->second;
}

namespace {

// Three bytes of a text as one number.
uint32_t Trigram(std::string_view text, size_t at) {
  return static_cast<uint32_t>(static_cast<unsigned char>(text[at])) << 16 |
         static_cast<uint32_t>(static_cast<unsigned char>(text[at + 1])) << 8 |
         static_cast<uint32_t>(static_cast<unsigned char>(text[at + 2]));
}

}  // namespace

void DatabankLines::UpperValues() const {
  for (size_t i = upper_values_.size(); i < lines_.size(); ++i) {
    const std::string_view line = Line(i);
    const size_t equals = line.find('=');
    upper_values_.push_back(
        equals == std::string_view::npos
            ? std::nullopt
            : std::optional<std::string>(UpperAscii(line.substr(equals + 1))));
    if (!upper_values_.back()) continue;
    const std::string& value = *upper_values_.back();
    for (size_t at = 0; at + 3 <= value.size(); ++at) {
      std::vector<uint32_t>& lines = lines_with_trigram_[Trigram(value, at)];
      // Lines come in order: a trigram twice in one line is noted once.
      if (lines.empty() || lines.back() != i) {
        lines.push_back(static_cast<uint32_t>(i));
      }
    }
  }
}

std::optional<size_t> DatabankLines::LastContaining(
    std::string_view text) const {
  UpperValues();
  const std::string upper_text = UpperAscii(text);
  if (upper_text.size() >= 3) {
    // Only a line that holds every three bytes of the text can hold the
    // text: the lines of its rarest trigram are looked at, last first.
    static const std::vector<uint32_t> kNone;
    const std::vector<uint32_t>* fewest = nullptr;
    for (size_t at = 0; at + 3 <= upper_text.size(); ++at) {
      const auto it = lines_with_trigram_.find(Trigram(upper_text, at));
      if (it == lines_with_trigram_.end()) return std::nullopt;
      if (fewest == nullptr || it->second.size() < fewest->size()) {
        fewest = &it->second;
      }
    }
    const std::vector<uint32_t>& lines = fewest != nullptr ? *fewest : kNone;
    for (auto line = lines.rbegin(); line != lines.rend(); ++line) {
      if (upper_values_[*line]->find(upper_text) != std::string::npos) {
        return *line;
      }
    }
    return std::nullopt;
  }
  for (size_t i = upper_values_.size(); i-- > 0;) {
    if (upper_values_[i] &&
        upper_values_[i]->find(upper_text) != std::string::npos) {
      return i;
    }
  }
  return std::nullopt;
}

void DatabankLines::Append(std::string_view line) {
  const size_t start = bytes_.size();
  bytes_.append(line);
  bytes_.append("\r\n");
  TakeLine(start, line.size());
}

}  // namespace trovane
