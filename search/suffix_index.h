// Which of the wanted values a path ends with, found without testing the
// values one by one. A filter over the last few bytes of every value turns
// most paths away with one look; the rest are read backwards from their last
// byte through a trie of the reversed values. Comparison ignores case:
// values are upper-case and the path's bytes are upper-cased as they are
// read.
#ifndef TROVANE_SEARCH_SUFFIX_INDEX_H_
#define TROVANE_SEARCH_SUFFIX_INDEX_H_

#include <array>
#include <bitset>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text.h"

namespace trovane {

class SuffixIndex {
 public:
  // `values` are upper-case; a value's number is its position.
  explicit SuffixIndex(const std::vector<std::string>& values);

  // Calls `found(number)` for every value that `path` ends with, shortest
  // first. Equal values share the number of the first of them.
  template <typename Found>
  void ForEachSuffixOf(std::string_view path, Found found) const;

 private:
  // Longer values, far beyond any real file name, are tested one by one
  // against the few paths as long as they are; the trie stays shallow.
  static constexpr size_t kLongestInTrie = 256;

  struct LongValue {
    int32_t number;
    std::string text;
  };

  template <typename Found>
  void WalkTrie(std::string_view path, Found& found) const;

  struct Node {
    uint32_t first_edge = 0;
    uint32_t edge_count = 0;
    int32_t value = -1;  // the value that ends here, if any
  };
  struct Edge {
    unsigned char byte;
    uint32_t child;
  };

  // A byte upper-cased, as a trie edge's byte.
  static unsigned char Fold(char c) {
    return static_cast<unsigned char>(UpperAscii(c));
  }
  // The child of `node` along `byte`, or 0 (the root is nobody's child).
  uint32_t Child(uint32_t node, unsigned char byte) const;
  // The filter's bit for the last `tail_` bytes of `text`, upper-cased.
  size_t FilterBit(std::string_view text) const;

  static constexpr int kFilterBits = 18;

  std::vector<Node> nodes_;
  std::vector<Edge> edges_;
  std::array<uint32_t, 256> root_children_{};
  std::vector<LongValue> long_values_;  // shortest first
  // How many last bytes the filter looks at: as many as the shortest value
  // that is not empty has, at most eight; 0 when every value is empty.
  size_t tail_ = 0;
  std::bitset<size_t{1} << kFilterBits> filter_{};
};

template <typename Found>
void SuffixIndex::ForEachSuffixOf(std::string_view path, Found found) const {
  WalkTrie(path, found);
  for (const LongValue& value : long_values_) {
    if (value.text.size() > path.size()) break;
    if (EndsWithNoCase(path, value.text)) found(value.number);
  }
}

template <typename Found>
void SuffixIndex::WalkTrie(std::string_view path, Found& found) const {
  if (nodes_[0].value >= 0) found(nodes_[0].value);
  if (tail_ == 0 || path.size() < tail_ || !filter_[FilterBit(path)]) return;
  size_t left = path.size();
  uint32_t node = root_children_[Fold(path[--left])];
  if (node == 0) return;
  if (nodes_[node].value >= 0) found(nodes_[node].value);
  while (left > 0) {
    node = Child(node, Fold(path[--left]));
    if (node == 0) return;
    if (nodes_[node].value >= 0) found(nodes_[node].value);
  }
}

inline size_t SuffixIndex::FilterBit(std::string_view text) const {
  uint64_t packed = 0;
  for (size_t i = text.size() - tail_; i < text.size(); ++i) {
    packed = packed << 8 | Fold(text[i]);
  }
  return static_cast<size_t>((packed * 0x9E3779B97F4A7C15ULL) >>
                             (64 - kFilterBits));
}

}  // namespace trovane

#endif  // TROVANE_SEARCH_SUFFIX_INDEX_H_
