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

void DatabankLines::UpperValues() const {
  for (size_t i = upper_values_.size(); i < lines_.size(); ++i) {
    const std::string_view line = Line(i);
    const size_t equals = line.find('=');
    upper_values_.push_back(
        equals == std::string_view::npos
            ? std::nullopt
            : std::optional<std::string>(UpperAscii(line.substr(equals + 1))));
  }
}

std::optional<size_t> DatabankLines::LastContaining(
    std::string_view text) const {
  UpperValues();
  const std::string upper_text = UpperAscii(text);
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
