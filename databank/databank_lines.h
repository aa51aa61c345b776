// A databank's lines as a reader takes them: split at each LF, a CR right
// before it belonging to the line end, the last line needing none. They
// come with what the record operations look up in them, so that a
// databank read once answers its queries from memory.
#ifndef TROVANE_DATABANK_DATABANK_LINES_H_
#define TROVANE_DATABANK_DATABANK_LINES_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace trovane {

class DatabankLines {
 public:
  explicit DatabankLines(std::string bytes);

  size_t size() const { return lines_.size(); }
  // The line at `index`, counted from 0, without its line end.
  std::string_view Line(size_t index) const {
    return std::string_view{bytes_}.substr(lines_[index].first,
                                           lines_[index].second);
  }

  // Where the first entry of a key lies; the key trimmed and upper-cased.
  std::optional<size_t> FirstOf(const std::string& upper_key) const;

  // Where the last entry lies whose value, as it stands after the "=",
  // contains `text` without regard to case.
  std::optional<size_t> LastContaining(std::string_view text) const;

  // True when a rewrite that drops no entry of the key being set gives
  // back every byte as it stands: each line is one a rewrite keeps, and
  // each ends in CR LF. A new entry may then simply be appended.
  bool appendable() const { return appendable_; }

  // Takes in a line appended to the file with CR LF after it.
  void Append(std::string_view line);

 private:
  void TakeLine(size_t start, size_t length);

  // Upper-cases the values of the lines not yet done: made when first
  // searched, so that each search is a plain one.
  void UpperValues() const;

  std::string bytes_;
  std::vector<std::pair<size_t, size_t>> lines_;  // start and length
  // Each line's value upper-cased, where the line holds an "=".
  mutable std::vector<std::optional<std::string>> upper_values_;
  // For each three bytes of the upper-cased values, the lines holding
  // them, in order: a search for a text of three bytes or more looks only
  // at the lines that hold its rarest three.
  mutable std::unordered_map<uint32_t, std::vector<uint32_t>>
      lines_with_trigram_;
  std::unordered_map<std::string, size_t> first_of_key_;
  bool appendable_ = true;
};

}  // namespace trovane

#endif  // TROVANE_DATABANK_DATABANK_LINES_H_
