#include "search/suffix_index.h"

#include <algorithm>
#include <map>
#include <memory>

namespace trovane {
namespace {

// The trie as it is built, before it is laid out flat for reading.
struct BuildNode {
  int32_t value = -1;
  std::map<unsigned char, std::unique_ptr<BuildNode>> children;
};

}  // namespace

SuffixIndex::SuffixIndex(const std::vector<std::string>& values) {
  BuildNode root;
  for (size_t number = 0; number < values.size(); ++number) {
    BuildNode* node = &root;
    const std::string& value = values[number];
    for (auto it = value.rbegin(); it != value.rend(); ++it) {
      std::unique_ptr<BuildNode>& child =
          node->children[static_cast<unsigned char>(*it)];
      if (!child) child = std::make_unique<BuildNode>();
      node = child.get();
    }
    if (node->value < 0) node->value = static_cast<int32_t>(number);
    if (!value.empty() && (tail_ == 0 || value.size() < tail_)) {
      tail_ = value.size();
    }
  }
  tail_ = std::min<size_t>(tail_, 8);
  for (const std::string& value : values) {
    if (!value.empty()) filter_.set(FilterBit(value));
  }

  // Breadth first, so each node's edges lie together, sorted by byte.
  std::vector<const BuildNode*> order = {&root};
  for (size_t i = 0; i < order.size(); ++i) {
    const BuildNode* node = order[i];
    Node flat;
    flat.value = node->value;
    flat.first_edge = static_cast<uint32_t>(edges_.size());
    flat.edge_count = static_cast<uint32_t>(node->children.size());
    for (const auto& [byte, child] : node->children) {
      edges_.push_back({byte, static_cast<uint32_t>(order.size())});
      order.push_back(child.get());
    }
    nodes_.push_back(flat);
  }
  for (uint32_t e = 0; e < nodes_[0].edge_count; ++e) {
    root_children_[edges_[e].byte] = edges_[e].child;
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
