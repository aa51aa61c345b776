// The names a listing meets. The input is a small tree whose names may
// hold every byte value: each entry is a kind byte (a file, a folder to
// fill next, the end of the folder being filled), then for a name its
// size and its bytes. The tree is listed from memory by several readers at
// once, and the disk map must be exactly what the rules say: the listed
// paths of the names a drive path can hold, in listing order, entered only
// through such names, and every other name counted as passed over.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/property.h"
#include "platform/text.h"
#include "trovane-cmd/folder_walker.h"

namespace trovane::fuzz {
namespace {

struct Tree {
  std::map<std::string, std::unique_ptr<Tree>> folders;
  std::set<std::string> files;
};

// Reads the input as a tree, a few levels deep at most.
Tree ParseTree(std::string_view input) {
  Tree root;
  std::vector<Tree*> filling = {&root};
  while (input.size() >= 2) {
    const unsigned kind = static_cast<unsigned char>(input[0]) % 3;
    if (kind == 2) {
      if (filling.size() > 1) filling.pop_back();
      input.remove_prefix(1);
      continue;
    }
    const size_t size = 1 + static_cast<unsigned char>(input[1]) % 24;
    if (input.size() < 2 + size) break;
    const std::string name(input.substr(2, size));
    input.remove_prefix(2 + size);
    Tree* folder = filling.back();
    if (folder->files.count(name) != 0 || folder->folders.count(name) != 0) {
      continue;
    }
    if (kind == 0) {
      folder->files.insert(name);
    } else {
      folder->folders[name] = std::make_unique<Tree>();
      if (filling.size() < 5) filling.push_back(folder->folders[name].get());
    }
  }
  return root;
}

// Serves the tree as a disk would, names as they are, in an order of its
// own.
class TreeReader : public FolderReader {
 public:
  explicit TreeReader(const Tree& root) : root_(root) {}

  FolderPtr OpenStart(const std::string&) override {
    return std::make_shared<Opened>(&root_);
  }
  FolderPtr OpenSubfolder(const FolderPtr& parent, const char* name) override {
    const Tree* tree = static_cast<const Opened&>(*parent).tree;
    const auto found = tree->folders.find(name);
    if (found == tree->folders.end()) return nullptr;
    return std::make_shared<Opened>(found->second.get());
  }
  bool Read(Folder& folder, FolderListing* listing) override {
    const Tree* tree = static_cast<const Opened&>(folder).tree;
    for (auto it = tree->files.rbegin(); it != tree->files.rend(); ++it) {
      listing->Add(*it, false);
    }
    for (const auto& entry : tree->folders) listing->Add(entry.first, true);
    return true;
  }
  FolderStamp Stamp(const Folder&) const override { return {}; }

 private:
  struct Opened : Folder {
    explicit Opened(const Tree* t) : tree(t) {}
    const Tree* tree;
  };
  const Tree& root_;
};

class KeptLines : public ListingSink {
 public:
  bool Write(std::string_view lines, uint64_t count) override {
    text.append(lines);
    line_count += count;
    return true;
  }
  std::string text;
  uint64_t line_count = 0;
};

// The rule as written: no control character, none of \ / : * ? " < > |,
// and no blank or dot at the end.
bool DrivePathCanHold(std::string_view name) {
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7f ||
        std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos) {
      return false;
    }
  }
  return !name.empty() && name.back() != ' ' && name.back() != '.';
}

// What the disk map must hold below `tree`, and how many names it passes
// over there.
void Expect(const Tree& tree, const std::string& shown, std::string* map,
            size_t* passed_over) {
  std::vector<std::string> names;
  for (const std::string& file : tree.files) names.push_back(file);
  for (const auto& entry : tree.folders) names.push_back(entry.first);
  std::vector<std::string> listed;
  for (const std::string& name : names) {
    if (DrivePathCanHold(name)) {
      listed.push_back(name);
    } else {
      ++*passed_over;
    }
  }
  std::sort(listed.begin(), listed.end(),
            [](const std::string& a, const std::string& b) {
              return CompareNamesNoCase(a, b) < 0;
            });
  for (const std::string& name : listed) {
    map->append(shown).append("\\").append(name).append("\r\n");
  }
  for (const std::string& name : listed) {
    const auto folder = tree.folders.find(name);
    if (folder != tree.folders.end()) {
      Expect(*folder->second, shown + "\\" + name, map, passed_over);
    }
  }
}

void Check(std::string_view input) {
  const Tree tree = ParseTree(input);
  TreeReader reader(tree);
  KeptLines out;
  const WalkResult result = ListFolderTree(
      ListingRequest{"/", "C:\\T", NameFilter()}, &reader, &out,
      WalkLimits{.readers = 2, .folders_ahead = 3, .bytes_ahead = 64});
  std::string expected;
  size_t passed_over = 0;
  Expect(tree, "C:\\T", &expected, &passed_over);
  Require(result.written, "a listing that can be written is written");
  Require(out.text == expected,
          "the disk map is the listed paths of the names a drive path can "
          "hold, in listing order");
  Require(out.line_count == static_cast<uint64_t>(std::count(
                                expected.begin(), expected.end(), '\n')),
          "each line is counted once");
  Require(result.passed_over == passed_over,
          "every name a drive path cannot hold is counted as passed over");
}

}  // namespace
}  // namespace trovane::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  trovane::fuzz::Check(
      std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
