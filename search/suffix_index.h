// Which of the wanted values a path ends with, found without testing the
// values one by one: the values are kept reversed in a trie, so a path is
// read backwards from its last byte and most paths are turned away after
// one or two bytes. Comparison ignores case: values are upper-case and the
// path's bytes are upper-cased as they are read.
#ifndef TROVANE_SEARCH_SUFFIX_INDEX_H_
#define TROVANE_SEARCH_SUFFIX_INDEX_H_

#include <array>
#include <bitset>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

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
  struct Node {
    uint32_t first_edge = 0;
    uint32_t edge_count = 0;
    int32_t value = -1;  // the value that ends here, if any
  };
  struct Edge {
    unsigned char byte;
    uint32_t child;
  };

  static unsigned char Fold(char c) {
    return static_cast<unsigned char>(c >= 'a' && c <= 'z' ? c - 32 : c);
  }
  // The child of `node` along `byte`, or 0 (the root is nobody's child).
  uint32_t Child(uint32_t node, unsigned char byte) const;

  std::vector<Node> nodes_;
  std::vector<Edge> edges_;
  // The root's children by byte, and which last-but-one bytes can follow
  // each last byte: two cheap looks that turn most paths away.
  std::array<uint32_t, 256> root_children_{};
  std::bitset<65536> last_two_{};
};

template <typename Found>
void SuffixIndex::ForEachSuffixOf(std::string_view path, Found found) const {
  if (nodes_[0].value >= 0) found(nodes_[0].value);
  size_t left = path.size();
  if (left == 0) return;
  const unsigned char last = Fold(path[--left]);
  uint32_t node = root_children_[last];
  if (node == 0) return;
  if (nodes_[node].value >= 0) found(nodes_[node].value);
  if (left == 0 || !last_two_[last << 8 | Fold(path[left - 1])]) return;
  while (left > 0) {
    node = Child(node, Fold(path[--left]));
    if (node == 0) return;
    if (nodes_[node].value >= 0) found(nodes_[node].value);
  }
}

}  // namespace trovane

#endif  // TROVANE_SEARCH_SUFFIX_INDEX_H_
