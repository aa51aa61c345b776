// A folder reader over a tree held in memory, for the tests of the walk
// and of the interpreter's listings: any shape of tree without touching
// the disk, folders that cannot be opened or read, and a look at how the
// walk uses the reader while it runs. The tree is drive C.
#ifndef TROVANE_TESTS_TROVANE_CMD_MEMORY_FOLDER_READER_H_
#define TROVANE_TESTS_TROVANE_CMD_MEMORY_FOLDER_READER_H_

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "trovane-cmd/folder_reader.h"

namespace trovane::testing {

class MemoryFolderReader : public FolderReader {
 public:
  // Paths are relative to the root of drive C, names joined with "/"; the
  // folders on the way are made as needed.
  void AddFile(std::string_view path);
  void AddFolder(std::string_view path);
  void MakeUnreadable(std::string_view path);

  // Called at the start of every read, from the thread that reads.
  void OnRead(std::function<void()> hook) { on_read_ = std::move(hook); }
  size_t reads() const { return reads_.load(); }

  // A drive-form path on drive C, its names found without regard to case
  // (the name as written first), "." and ".." taken out by the names.
  FolderPtr OpenStart(const std::string& path) override;
  FolderPtr OpenSubfolder(const FolderPtr& parent, const char* name) override;
  bool Read(Folder& folder, FolderListing* listing) override;
  FolderStamp Stamp(const Folder& folder) const override;

 private:
  struct Node {
    std::map<std::string, std::unique_ptr<Node>> folders;
    std::vector<std::string> files;
    bool unreadable = false;
  };
  class Opened;

  Node* FolderAt(std::string_view path);
  // The subfolder `name` of `folder`, found as OpenStart() finds it.
  static const Node* SubfolderNamed(const Node& folder, std::string_view name);

  Node root_;
  std::function<void()> on_read_;
  std::atomic<size_t> reads_{0};
};

}  // namespace trovane::testing

#endif  // TROVANE_TESTS_TROVANE_CMD_MEMORY_FOLDER_READER_H_
