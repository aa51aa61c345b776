#include "trovane-cmd/folder_walker.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <mutex>
#include <thread>
#include <type_traits>
#include <utility>
#include <vector>

#include "platform/index_format.h"
#include "platform/thread_waits.h"
#include "trovane-cmd/folder_listing.h"
#include "trovane-cmd/read_ahead.h"
#include "trovane-cmd/walk_node.h"

namespace trovane {
namespace {

// Whether folder reads wait on the disk is seen in the first reads of a
// walk, and after them in one read of every so many, which keeps the cost
// of asking (a system call before and after the read) out of the walk.
constexpr uint64_t kFirstReadsLookedAt = 256;
constexpr uint64_t kReadsBetweenLooks = 32;

class Walk {
 public:
  Walk(const ListingRequest& request, FolderReader* reader,
       const WalkLimits& limits, const WalkIndex& index)
      : request_(request),
        reader_(reader),
        index_(index),
        filter_key_(request.filter.Key()),
        read_ahead_(limits.folders_ahead, limits.bytes_ahead) {}

  WalkResult Run(ListingSink* out, const WalkLimits& limits) {
    WalkNode root;
    read_ahead_.Start(&root);
    most_readers_ = limits.readers;
    const size_t processors =
        std::max<size_t>(1, std::thread::hardware_concurrency());
    const size_t first = ThreadWaits() ? processors : limits.readers;
    for (size_t i = 0; i < std::min(first, most_readers_); ++i) AddReader();
    const WalkResult result = WriteInOrder(&root, out);
    read_ahead_.Stop();
    std::vector<std::thread> threads;
    {
      const std::lock_guard<std::mutex> lock(readers_mutex_);
      stopping_ = true;
      threads.swap(readers_);
    }
    for (std::thread& thread : threads) thread.join();
    return result;
  }

 private:
  void AddReader() {
    const std::lock_guard<std::mutex> lock(readers_mutex_);
    if (stopping_ || readers_.size() >= most_readers_) return;
    readers_.emplace_back(&Walk::ReadFolders, this);
    reader_count_.store(readers_.size(), std::memory_order_relaxed);
  }

  // A reading thread: takes folders until the walk is over.
  void ReadFolders() {
    FolderListing listing;
    while (WalkNode* node = read_ahead_.Take()) {
      ReadAndFinish(node, &listing);
    }
  }

  void ReadAndFinish(WalkNode* node, FolderListing* listing) {
    const uint64_t read = reads_.fetch_add(1, std::memory_order_relaxed);
    const bool looked_at =
        reader_count_.load(std::memory_order_relaxed) < most_readers_ &&
        (read < kFirstReadsLookedAt || read % kReadsBetweenLooks == 0);
    const std::optional<uint64_t> waits_before =
        looked_at ? ThreadWaits() : std::nullopt;
    ReadFolder(node, listing);
    if (waits_before && ThreadWaits() > waits_before) AddReader();
    listing->Clear();
    listing->TrimMemory();
    read_ahead_.Finished(node);
  }

  void ReadFolder(WalkNode* node, FolderListing* listing) {
    WalkNode* parent = node->parent;
    FolderReader::FolderPtr folder;
    std::optional<IndexEntries> recalled;
    if (parent == nullptr) {
      folder = reader_->OpenStart(request_.folder);
      node->shown = request_.shown_folder;
    } else {
      recalled = RecallUnopened(*parent, node);
      if (!recalled) {
        folder = reader_->OpenSubfolder(parent->folder, node->name.c_str());
      }
      node->shown.reserve(parent->shown.size() + 1 + node->name.size());
      node->shown.append(parent->shown).append("\\").append(node->name);
      if (parent->unopened.fetch_sub(1, std::memory_order_acq_rel) == 1) {
        parent->folder.reset();
        // Lines still to be made may yet need it.
        if (!parent->unmade_lines) parent->shown = std::string();
      }
    }
    if (index_.past != nullptr || index_.next != nullptr) {
      node->shown_sum = ShownSum(index_.shown_key, filter_key_, node->shown);
    }
    if (!recalled) {
      if (folder == nullptr) {
        node->shown = std::string();
        return;
      }
      recalled = Recall(*folder, node);
    }
    if (recalled) {
      node->passed_over = recalled->passed_over();
      TakeEntries(*recalled, node);
    } else if (ReadEntries(*folder, node, listing)) {
      node->passed_over = listing->passed_over();
      TakeEntries(*listing, node);
    } else {
      node->shown = std::string();
      return;
    }
    if (node->subfolders.empty()) {
      if (!node->unmade_lines) node->shown = std::string();
    } else {
      node->unopened.store(node->subfolders.size(), std::memory_order_relaxed);
      node->folder = std::move(folder);
    }
  }

  // The entries of the subfolder `node` of `parent` from the last
  // listing's index when it holds no folder to enter and its stamp, told
  // without opening it, has not moved since; nothing otherwise. Most
  // folders of a tree hold files alone: a repeat listing of a tree that
  // has not changed opens none of them.
  std::optional<IndexEntries> RecallUnopened(const WalkNode& parent,
                                             WalkNode* node) {
    if (index_.past == nullptr) return std::nullopt;
    const std::optional<FolderStamp> stamp =
        reader_->PeekSubfolder(parent.folder, node->name.c_str());
    if (!stamp) return std::nullopt;
    MapPlacement lines;
    std::optional<IndexEntries> recalled =
        index_.past->Recall(*stamp, &node->record, &lines);
    if (!recalled || recalled->holds_folders()) {
      node->record.clear();
      return std::nullopt;
    }
    node->stamp = *stamp;
    node->from_past = true;
    node->past_lines = lines;
    return recalled;
  }

  // The folder's entries in listing order from the last listing's index,
  // and its record there, when the folder has not changed since; nothing
  // otherwise. The folder is stamped here whenever an index is kept.
  std::optional<IndexEntries> Recall(FolderReader::Folder& folder,
                                     WalkNode* node) {
    if (index_.past == nullptr && index_.next == nullptr) return std::nullopt;
    node->stamp = reader_->Stamp(folder);
    if (index_.past == nullptr) return std::nullopt;
    MapPlacement lines;
    std::optional<IndexEntries> recalled =
        index_.past->Recall(node->stamp, &node->record, &lines);
    if (recalled) {
      node->from_past = true;
      node->past_lines = lines;
      reader_->ReadElsewhere(folder);
    }
    return recalled;
  }

  // The folder's entries in listing order from the disk, and, for the next
  // listing's index, the folder's record. False when the folder cannot be
  // read.
  bool ReadEntries(FolderReader::Folder& folder, WalkNode* node,
                   FolderListing* listing) {
    node->record.clear();
    if (!reader_->Read(folder, listing)) return false;
    listing->Sort();
    if (index_.next != nullptr && node->stamp.stands_for_entries) {
      IndexRecordWriter record(node->stamp, listing->passed_over(),
                               listing->entries().size(), &node->record);
      listing->ForEach([&record](std::string_view name, bool is_folder) {
        record.Add(name, is_folder);
      });
      record.Seal();
    }
    return true;
  }

  // Whether the entry `name` has a line: the name filter takes it.
  bool Shows(std::string_view name) const {
    return request_.filter.MatchesAll() || request_.filter.Matches(name);
  }

  static void AppendLine(std::string_view shown, std::string_view name,
                         std::string* lines) {
    lines->append(shown).append(1, '\\').append(name).append("\r\n", 2);
  }

  // The folder's lines, "SHOWN\NAME" CR LF for each matching entry (where
  // they are likely to be passed over, only their size and count), and a
  // node for each subfolder, from `entries` (a FolderListing, or the
  // IndexEntries of a record): anything with ForEach(visit(name, folder)).
  template <typename Entries>
  void TakeEntries(const Entries& entries, WalkNode* node) const {
    const std::string& shown = node->shown;
    size_t size = 0;
    uint64_t count = 0;
    entries.ForEach([&](std::string_view name, bool /*is_folder*/) {
      if (Shows(name)) {
        size += shown.size() + name.size() + 3;
        ++count;
      }
    });
    node->lines_size = size;
    node->line_count = count;
    if constexpr (std::is_same_v<Entries, IndexEntries>) {
      if (LikelyPassedOver(*node)) {
        node->unmade_lines = entries;
        if (!entries.holds_folders()) return;  // nothing more to take
      }
    }
    const bool make_lines = !node->unmade_lines;
    std::string& lines = node->lines;
    if (make_lines) lines.reserve(size);
    entries.ForEach([&](std::string_view name, bool is_folder) {
      if (make_lines && Shows(name)) AppendLine(shown, name, &lines);
      if (!is_folder) return;
      auto subfolder = std::make_unique<WalkNode>();
      subfolder->parent = node;
      subfolder->depth = node->depth + 1;
      subfolder->index = static_cast<uint32_t>(node->subfolders.size());
      subfolder->name = name;
      node->subfolders.push_back(std::move(subfolder));
    });
  }

  // The writer: each folder's lines in listing order, depth first.
  WalkResult WriteInOrder(WalkNode* root, ListingSink* out) {
    WalkResult result;
    FolderListing listing;  // for the folders it reads itself
    uint64_t written = 0;   // bytes of lines so far
    // The folders on the way down, each with the next subfolder to enter.
    std::vector<std::pair<WalkNode*, size_t>> path;
    WalkNode* next = root;
    for (;;) {
      if (next != nullptr) {
        if (read_ahead_.TakeOrWait(next)) ReadAndFinish(next, &listing);
        const MapPlacement lines{written, next->lines_size, next->shown_sum};
        if (next->line_count > 0 && !WriteLines(*next, lines, out)) {
          result.written = false;
          return result;
        }
        written += lines.size;
        result.passed_over += next->passed_over;
        if (index_.next != nullptr && !next->record.empty()) {
          index_.next->Add(next->stamp, next->record, next->from_past, lines);
        }
        read_ahead_.Written(next);
        if (!next->subfolders.empty()) {
          path.emplace_back(next, 0);
        } else if (next->parent != nullptr) {
          next->parent->subfolders[next->index].reset();
        }
      }
      if (path.empty()) return result;
      auto& [folder, entered] = path.back();
      if (entered < folder->subfolders.size()) {
        next = folder->subfolders[entered++].get();
        continue;
      }
      // Everything below this folder is written.
      WalkNode* done = folder;
      path.pop_back();
      if (done->parent != nullptr) {
        done->parent->subfolders[done->index].reset();
      }
      next = nullptr;
    }
  }

  // Whether the lines of `node`, taken from the last index, are likely to
  // be passed over: the disk map has been found as the last listing left
  // it so far, and the lines are the size they were there, under the same
  // path. Their place in the map is only known once the lines before them
  // are written.
  bool LikelyPassedOver(const WalkNode& node) const {
    return index_.map_as_past_left_it &&
           passing_over_.load(std::memory_order_relaxed) && node.past_lines &&
           node.past_lines->size == node.lines_size &&
           node.past_lines->shown_sum == node.shown_sum;
  }

  // The folder's lines, which come at `lines` of the disk map. Those that
  // came there the last time too, from the same entries under the same
  // path, in a map that has not changed since, are known to be there.
  bool WriteLines(const WalkNode& node, const MapPlacement& lines,
                  ListingSink* out) {
    if (index_.map_as_past_left_it && node.past_lines == lines &&
        out->PassOverSame(lines.size, node.line_count)) {
      return true;
    }
    if (!node.unmade_lines) return out->Write(node.lines, node.line_count);
    // The map holds other bytes here after all: the readers make every
    // folder's lines from now on, and this folder's are made here.
    passing_over_.store(false, std::memory_order_relaxed);
    made_lines_.clear();
    node.unmade_lines->ForEach([&](std::string_view name, bool /*is_folder*/) {
      if (Shows(name)) AppendLine(node.shown, name, &made_lines_);
    });
    return out->Write(made_lines_, node.line_count);
  }

  const ListingRequest& request_;
  FolderReader* const reader_;
  const WalkIndex index_;
  const std::string filter_key_;
  ReadAhead read_ahead_;

  size_t most_readers_ = 0;
  std::mutex readers_mutex_;
  std::vector<std::thread> readers_;  // under the mutex
  bool stopping_ = false;             // under the mutex
  std::atomic<size_t> reader_count_{0};
  std::atomic<uint64_t> reads_{0};

  // Whether the readers may leave lines unmade (LikelyPassedOver); the
  // writer ends that at the first it has to make itself.
  std::atomic<bool> passing_over_{true};
  std::string made_lines_;  // the writer's, for those
};

}  // namespace

WalkResult ListFolderTree(const ListingRequest& request, FolderReader* reader,
                          ListingSink* out, const WalkLimits& limits,
                          const WalkIndex& index) {
  return Walk(request, reader, limits, index).Run(out, limits);
}

}  // namespace trovane
