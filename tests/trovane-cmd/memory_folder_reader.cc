#include "tests/trovane-cmd/memory_folder_reader.h"

#include <thread>

namespace trovane::testing {

class MemoryFolderReader::Opened : public FolderReader::Folder {
 public:
  explicit Opened(const Node* node) : node_(node) {}
  const Node* node() const { return node_; }

 private:
  const Node* node_;
};

MemoryFolderReader::Node* MemoryFolderReader::FolderAt(std::string_view path) {
  Node* node = &root_;
  while (!path.empty()) {
    const size_t slash = path.find('/');
    const std::string name(path.substr(0, slash));
    std::unique_ptr<Node>& child = node->folders[name];
    if (!child) child = std::make_unique<Node>();
    node = child.get();
    path = slash == std::string_view::npos ? "" : path.substr(slash + 1);
  }
  return node;
}

void MemoryFolderReader::AddFile(std::string_view path) {
  const size_t slash = path.rfind('/');
  Node* folder =
      FolderAt(slash == std::string_view::npos ? std::string_view()
                                               : path.substr(0, slash));
  folder->files.emplace_back(path.substr(slash + 1));
}

void MemoryFolderReader::AddFolder(std::string_view path) { FolderAt(path); }

void MemoryFolderReader::MakeUnreadable(std::string_view path) {
  FolderAt(path)->unreadable = true;
}

FolderReader::FolderPtr MemoryFolderReader::OpenStart(const std::string&) {
  return std::make_shared<Opened>(&root_);
}

FolderReader::FolderPtr MemoryFolderReader::OpenSubfolder(
    const FolderPtr& parent, const char* name) {
  const Node* folder = static_cast<const Opened&>(*parent).node();
  const auto found = folder->folders.find(name);
  if (found == folder->folders.end()) return nullptr;
  return std::make_shared<Opened>(found->second.get());
}

bool MemoryFolderReader::Read(Folder& opened, FolderListing* listing) {
  ++reads_;
  if (on_read_) on_read_();
  const Node* folder = static_cast<const Opened&>(opened).node();
  if (folder->unreadable) return false;
  // Files and folders mixed and out of order, as a disk returns them; a
  // pause now and then lets other readers overtake this one.
  for (auto it = folder->folders.rbegin(); it != folder->folders.rend(); ++it) {
    listing->Add(it->first, true);
    if (it->first.size() % 3 == 0) std::this_thread::yield();
  }
  for (const std::string& file : folder->files) listing->Add(file, false);
  return true;
}

FolderStamp MemoryFolderReader::Stamp(const Folder& opened) const {
  return FolderStamp{
      0, reinterpret_cast<uintptr_t>(static_cast<const Opened&>(opened).node()),
      0, 0};
}

}  // namespace trovane::testing
