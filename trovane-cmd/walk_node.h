// One folder of a walk, from the moment its parent's listing names it
// until everything below it is written. The threads that read folders
// fill it in; the thread that writes the lines takes them in listing
// order and lets the node go.
#ifndef TROVANE_TROVANE_CMD_WALK_NODE_H_
#define TROVANE_TROVANE_CMD_WALK_NODE_H_

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/index_format.h"
#include "trovane-cmd/folder_reader.h"

namespace trovane {

struct WalkNode {
  // Set when the node is made and never changed: where it stands in the
  // tree, which puts it in listing order, and its name as stored.
  WalkNode* parent = nullptr;
  uint32_t depth = 0;
  uint32_t index = 0;  // among the parent's subfolders, in listing order
  std::string name;

  // Filled in by the thread that reads the folder: each matching entry's
  // line, in listing order, `line_count` lines of `lines_size` bytes.
  std::string lines;
  uint64_t lines_size = 0;
  uint64_t line_count = 0;
  // For a folder taken from the last index whose lines the disk map most
  // likely holds already where they go, its entries instead of its lines:
  // they are made only if the map is found to hold other bytes there after
  // all. Set before the subfolders are made and never changed, so that
  // their readers may look; a view of `record`, which outlives the writing
  // of the lines.
  std::optional<IndexEntries> unmade_lines;
  size_t passed_over = 0;  // names no drive path can hold
  // For the next listing's index: the folder's stamp and, when it is to be
  // recorded, its record, and whether that came from the last index.
  FolderStamp stamp;
  std::string record;
  bool from_past = false;
  // The sum of `shown` with the name filter (ShownSum), and, when taken
  // from the last index, where the folder's lines lay in the disk map.
  uint64_t shown_sum = 0;
  std::optional<MapPlacement> past_lines;
  std::vector<std::unique_ptr<WalkNode>> subfolders;

  // What the subfolders are opened from and their lines start with, held
  // while some of them are still to be opened: the last to be opened lets
  // both go.
  FolderReader::FolderPtr folder;
  std::string shown;
  std::atomic<size_t> unopened{0};

  // Whether the folder has been read; guarded by the read-ahead's lock.
  bool read = false;
};

// True when `a` comes before `b` in listing order: depth first, each
// folder before what lies below it, subfolders in the order of their
// parent's listing.
inline bool IsBefore(const WalkNode* a, const WalkNode* b) {
  if (a == b) return false;
  while (a->depth > b->depth) {
    a = a->parent;
    if (a == b) return false;  // b lies above a
  }
  while (b->depth > a->depth) {
    b = b->parent;
    if (a == b) return true;  // a lies above b
  }
  while (a->parent != b->parent) {
    a = a->parent;
    b = b->parent;
  }
  return a->index < b->index;
}

}  // namespace trovane

#endif  // TROVANE_TROVANE_CMD_WALK_NODE_H_
