#include "search/suffix_index.h"

#include <algorithm>

namespace trovane {

SuffixIndex::SuffixIndex(const std::vector<std::string>& values) {
  // The trie as it is built: each node with its edges in the order they
  // came; laid out flat and sorted below.
  std::vector<Node> built(1);
  std::vector<std::vector<Edge>> built_edges(1);
  for (size_t number = 0; number < values.size(); ++number) {
    const std::string& value = values[number];
    if (value.size() > kLongestInTrie) {
      const bool repeated = std::any_of(
          long_values_.begin(), long_values_.end(),
          [&value](const LongValue& known) { return known.text == value; });
      if (!repeated) {
        long_values_.push_back({static_cast<int32_t>(number), value});
      }
      continue;
    }
    uint32_t node = 0;
    for (auto it = value.rbegin(); it != value.rend(); ++it) {
      const auto byte = static_cast<unsigned char>(*it);
      std::vector<Edge>& edges = built_edges[node];
      const auto edge =
          std::find_if(edges.begin(), edges.end(),
                       [byte](const Edge& e) { return e.byte == byte; });
      if (edge != edges.end()) {
        node = edge->child;
        continue;
      }
      const auto child = static_cast<uint32_t>(built.size());
      edges.push_back({byte, child});
      built.emplace_back();
      built_edges.emplace_back();
      node = child;
    }
    if (built[node].value < 0) built[node].value = static_cast<int32_t>(number);
    if (!value.empty() && (tail_ == 0 || value.size() < tail_)) {
      tail_ = value.size();
    }
  }
  tail_ = std::min<size_t>(tail_, 8);
  for (const std::string& value : values) {
    if (!value.empty() && value.size() <= kLongestInTrie) {
      filter_.set(FilterBit(value));
    }
  }
  std::sort(long_values_.begin(), long_values_.end(),
            [](const LongValue& a, const LongValue& b) {
              return a.text.size() < b.text.size();
            });

  nodes_ = std::move(built);
  for (size_t node = 0; node < nodes_.size(); ++node) {
    std::vector<Edge>& edges = built_edges[node];
    std::sort(edges.begin(), edges.end(),
              [](const Edge& a, const Edge& b) { return a.byte < b.byte; });
    nodes_[node].first_edge = static_cast<uint32_t>(edges_.size());
    nodes_[node].edge_count = static_cast<uint32_t>(edges.size());
    edges_.insert(edges_.end(), edges.begin(), edges.end());
  }
  for (const Edge& edge : built_edges[0]) {
    root_children_[edge.byte] = edge.child;
  }
}

uint32_t SuffixIndex::Child(uint32_t node, unsigned char byte) const {
  const Node& parent = nodes_[node];
  const Edge* begin = edges_.data() + parent.first_edge;
  const Edge* end = begin + parent.edge_count;
  const Edge* edge = std::lower_bound(
      begin, end, byte,
      [](const Edge& e, unsigned char b) { return e.byte < b; });
  return edge != end && edge->byte == byte ? edge->child : 0;
}

}  // namespace trovane
