#include "tests/trovane-cmd/memory_folder_reader.h"

#include <thread>
#include <vector>

#include "platform/text.h"

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

const MemoryFolderReader::Node* MemoryFolderReader::SubfolderNamed(
    const Node& folder, std::string_view name) {
  const auto exact = folder.folders.find(std::string(name));
  if (exact != folder.folders.end()) return exact->second.get();
  for (const auto& [stored, subfolder] : folder.folders) {
    if (EqualsNoCase(stored, name)) return subfolder.get();
  }
  return nullptr;
}

FolderReader::FolderPtr MemoryFolderReader::OpenStart(const std::string& path) {
  if (!HasDriveLetter(path) || UpperAscii(path[0]) != 'C') return nullptr;
  std::vector<const Node*> way = {&root_};
  size_t start = 2;
  while (start <= path.size()) {
    size_t end = path.find_first_of("\\/", start);
    if (end == std::string::npos) end = path.size();
    const std::string_view name =
        std::string_view(path).substr(start, end - start);
    start = end + 1;
    if (name.empty() || name == ".") continue;
    if (name == "..") {
      if (way.size() > 1) way.pop_back();
      continue;
    }
    const Node* next = SubfolderNamed(*way.back(), name);
    if (next == nullptr) return nullptr;
    way.push_back(next);
  }
  return std::make_shared<Opened>(way.back());
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
