#include "tests/support/memory_file_system.h"

#include <algorithm>
#include <utility>

#include "platform/text.h"
#include "platform/wildcard.h"

namespace trovane::testing {

// An open file: reads from where it stands, writes at the end unless told
// to write from the start.
class MemoryFileSystem::File final : public ReadableFile,
                                     public WritableFile,
                                     private FileNumbers::Holder {
 public:
  File(std::shared_ptr<Content> content, FileNumbers* numbers)
      : content_(std::move(content)),
        lease_(numbers != nullptr ? numbers->Take(this) : FileNumbers::Lease()),
        numbered_(numbers != nullptr) {}

  // No number was free for it.
  bool refused() const { return numbered_ && lease_.number() == 0; }

  int number() const override { return lease_.number(); }
  std::optional<size_t> Read(char* out, size_t size) override {
    if (closed_) return std::nullopt;
    if (position_ >= content_->bytes.size()) return 0;
    const size_t n = std::min(size, content_->bytes.size() - position_);
    std::copy_n(content_->bytes.data() + position_, n, out);
    position_ += n;
    return n;
  }
  bool Write(std::string_view bytes) override {
    if (closed_) return false;
    if (writes_at_end_) {
      content_->bytes.append(bytes);
    } else {
      content_->bytes.replace(write_position_, bytes.size(), bytes);
      write_position_ += bytes.size();
    }
    ++content_->generation;
    return true;
  }
  // Writes go over the content from its start rather than after its end.
  void WriteFromStart() { writes_at_end_ = false; }
  bool Sync() override { return !closed_; }
  bool Truncate(int64_t size) override {
    if (closed_) return false;
    content_->bytes.resize(static_cast<size_t>(size));
    ++content_->generation;
    return true;
  }
  bool Close() override {
    lease_.Release();
    closed_ = true;
    return true;
  }

 private:
  void CloseForAll() override { closed_ = true; }

  std::shared_ptr<Content> content_;
  FileNumbers::Lease lease_;
  size_t position_ = 0;  // of reading
  size_t write_position_ = 0;
  bool writes_at_end_ = true;
  bool numbered_;
  bool closed_ = false;
};

// A swap file or a folder lock, held until the object goes.
class MemoryFileSystem::Hold final : public HeldLock {
 public:
  Hold(MemoryFileSystem& files, std::set<std::string>& held, std::string key)
      : files_(files),
        alive_(files.alive_),
        held_(held),
        key_(std::move(key)) {}
  ~Hold() override {
    if (!*alive_) return;
    held_.erase(key_);
    // A swap file goes with its lock.
    if (&held_ == &files_.held_swaps_) files_.nodes_.erase(key_);
  }

 private:
  MemoryFileSystem& files_;
  std::shared_ptr<bool> alive_;
  std::set<std::string>& held_;
  std::string key_;
};

MemoryFileSystem::MemoryFileSystem(FileNumbers& numbers)
    : numbers_(numbers), alive_(std::make_shared<bool>(true)) {}

MemoryFileSystem::~MemoryFileSystem() { *alive_ = false; }

std::string MemoryFileSystem::Drive(std::string_view path) {
  return HasDriveLetter(path) ? UpperAscii(path.substr(0, 2)) : "C:";
}

std::vector<std::string> MemoryFileSystem::Names(std::string_view path) {
  if (HasDriveLetter(path)) path.remove_prefix(2);
  std::vector<std::string> names;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find_first_of("\\/", start);
    if (end == std::string_view::npos) end = path.size();
    const std::string_view name = path.substr(start, end - start);
    // As on the disk: "." stays, ".." goes back, never above the root.
    if (name == "..") {
      if (!names.empty()) names.pop_back();
    } else if (!name.empty() && name != ".") {
      names.emplace_back(name);
    }
    start = end + 1;
  }
  return names;
}

bool MemoryFileSystem::HoldsNul(std::string_view path) {
  return path.find('\0') != std::string_view::npos;
}

std::string MemoryFileSystem::Key(std::string_view path) {
  std::string key = Drive(path);
  for (const std::string& name : Names(path)) key += "\\" + UpperAscii(name);
  return key;
}

std::string MemoryFileSystem::ParentKey(const std::string& key) {
  const size_t last = key.rfind('\\');
  return last == std::string::npos ? key : key.substr(0, last);
}

std::string MemoryFileSystem::LastName(std::string_view path) {
  const std::vector<std::string> names = Names(path);
  return names.empty() ? std::string() : names.back();
}

MemoryFileSystem::Node* MemoryFileSystem::Lookup(std::string_view path) {
  if (HoldsNul(path)) return nullptr;
  const auto it = nodes_.find(Key(path));
  return it == nodes_.end() ? nullptr : &it->second;
}

const MemoryFileSystem::Node* MemoryFileSystem::Lookup(
    std::string_view path) const {
  if (HoldsNul(path)) return nullptr;
  const auto it = nodes_.find(Key(path));
  return it == nodes_.end() ? nullptr : &it->second;
}

MemoryFileSystem::Node* MemoryFileSystem::Find(std::string_view path,
                                               std::string* dangling) {
  std::string at(path);
  // As many links as the system itself follows before it gives up.
  for (int links = 0; links < 40; ++links) {
    Node* node = Lookup(at);
    if (node == nullptr || !node->link) {
      if (node == nullptr && dangling != nullptr && links > 0) *dangling = at;
      return node;
    }
    at = *node->link;
  }
  return nullptr;
}

const MemoryFileSystem::Node* MemoryFileSystem::Find(
    std::string_view path) const {
  return const_cast<MemoryFileSystem*>(this)->Find(path);
}

bool MemoryFileSystem::FolderExists(const std::string& key) const {
  // A drive's root.
  if (key.find('\\') == std::string::npos) return drives_.contains(key);
  const auto it = nodes_.find(key);
  return it != nodes_.end() && it->second.folder;
}

MemoryFileSystem::Node* MemoryFileSystem::Create(std::string_view path) {
  if (HoldsNul(path)) return nullptr;
  const std::string key = Key(path);
  if (!FolderExists(ParentKey(key)) || nodes_.contains(key)) return nullptr;
  Node& node = nodes_[key];
  node.name = LastName(path);
  node.content = std::make_shared<Content>();
  node.content->id = next_id_++;
  return &node;
}

std::string MemoryFileSystem::Probe(std::string_view path) {
  // Dot names are this disk's hidden ones, whatever system runs the tests.
  const auto hidden = [](std::string_view name) {
    return !name.empty() && name.front() == '.';
  };
  const std::string pattern = LastName(path);
  if (pattern.empty() || hidden(pattern)) return {};
  // A key is a path too; a link counts as what it leads to.
  const auto is_file = [this](const std::string& key) {
    const Node* node = Find(key);
    return node != nullptr && !node->folder && !node->special;
  };
  if (!HasWildcards(pattern)) {
    const Node* entry = Lookup(path);
    return entry != nullptr && is_file(Key(path)) ? entry->name : std::string();
  }
  // The first name in byte order that fits, of the entries of the folder.
  const std::string folder = ParentKey(Key(path));
  std::string best;
  for (auto it = nodes_.lower_bound(folder + "\\");
       it != nodes_.end() && it->first.starts_with(folder + "\\"); ++it) {
    const std::string& name = it->second.name;
    if (ParentKey(it->first) != folder || hidden(name) ||
        !MatchesWildcard(name, pattern) || (!best.empty() && name >= best)) {
      continue;
    }
    if (is_file(it->first)) best = name;
  }
  return best;
}

std::optional<FileStatus> MemoryFileSystem::EntryStatus(std::string_view path) {
  const Node* node = Lookup(path);
  if (node == nullptr || !node->link) return Status(path);
  FileStatus link;
  link.is_link = true;
  return link;
}

std::optional<FileStatus> MemoryFileSystem::Status(std::string_view path) {
  const Node* node = Find(path);
  if (node == nullptr) {
    if (!FolderExists(Key(path))) return std::nullopt;
    FileStatus root;  // a drive's root
    root.is_folder = true;
    return root;
  }
  FileStatus status;
  status.is_file = !node->folder && !node->special;
  status.is_folder = node->folder;
  status.modified = node->modified;
  if (node->content) {
    const Content& content = *node->content;
    status.length = static_cast<int64_t>(content.bytes.size());
    status.version = {0, content.id, status.length, content.generation,
                      content.generation};
  }
  return status;
}

bool MemoryFileSystem::Delete(std::string_view path) {
  const Node* node = Lookup(path);
  if (node == nullptr || node->folder) return false;
  nodes_.erase(Key(path));
  return true;
}

bool MemoryFileSystem::Rename(std::string_view from, std::string_view to) {
  const Node* source = Lookup(from);
  const std::string target_key = Key(to);
  if (source == nullptr || source->folder ||
      !FolderExists(ParentKey(target_key))) {
    return false;
  }
  Node moved = *source;
  if (const Node* target = Lookup(to)) {
    if (target->folder) return false;
    // An existing name is found without regard to case, and kept.
    moved.name = target->name;
  } else {
    moved.name = LastName(to);
  }
  nodes_.erase(Key(from));
  nodes_[target_key] = std::move(moved);
  return true;
}

bool MemoryFileSystem::Link(std::string_view from, std::string_view to) {
  const Node* source = Lookup(from);
  if (source == nullptr || source->folder) return false;
  const Node copy = *source;
  Node* target = Create(to);
  if (target == nullptr) return false;
  target->content = copy.content;
  target->modified = copy.modified;
  target->link = copy.link;
  return true;
}

bool MemoryFileSystem::MakeFolder(std::string_view path) {
  std::string key = Drive(path);
  if (!FolderExists(key)) return false;
  for (const std::string& name : Names(path)) {
    key += "\\" + UpperAscii(name);
    const auto [it, made] = nodes_.try_emplace(key);
    if (made) {
      it->second.folder = true;
      it->second.name = name;
    } else if (!it->second.folder) {
      return false;
    }
  }
  return true;
}

MemoryFileSystem::Node* MemoryFileSystem::Open(std::string_view path,
                                               OpenOptions options,
                                               bool create) {
  const Node* entry = Lookup(path);
  if (entry != nullptr && entry->link && options.refuse_link) return nullptr;
  std::string dangling;
  Node* node = Find(path, &dangling);
  // A link that leads nowhere makes the file where it leads.
  if (node == nullptr && create) {
    node = Create(dangling.empty() ? path : dangling);
  }
  // Only ordinary files are opened, never waited on.
  if (node != nullptr && node->special) return nullptr;
  return node;
}

std::unique_ptr<ReadableFile> MemoryFileSystem::OpenReadable(
    std::string_view path, OpenOptions options) {
  Node* node = Open(path, options, options.create);
  if (node == nullptr || node->folder) return nullptr;
  auto file = std::make_unique<File>(node->content,
                                     options.numbered ? &numbers_ : nullptr);
  if (file->refused()) return nullptr;
  return file;
}

std::unique_ptr<WritableFile> MemoryFileSystem::OpenWritable(
    std::string_view path, WriteMode mode, OpenOptions options) {
  if (mode == WriteMode::kCreateNew && Lookup(path) != nullptr) return nullptr;
  // The disk would wait for the holder; here nothing else runs that could
  // let go, so the open fails instead.
  if (options.lock && held_files_.contains(Key(path))) return nullptr;
  Node* node = Open(path, options, /*create=*/true);
  if (node == nullptr || node->folder) return nullptr;
  if (mode == WriteMode::kReplace) {
    node->content->bytes.clear();
    ++node->content->generation;
  }
  auto file = std::make_unique<File>(node->content,
                                     options.numbered ? &numbers_ : nullptr);
  if (file->refused()) return nullptr;
  if (mode == WriteMode::kOverwrite) file->WriteFromStart();
  return file;
}

std::unique_ptr<HeldLock> MemoryFileSystem::Hold(std::set<std::string>& held,
                                                 std::string key) {
  held.insert(key);
  return std::make_unique<class Hold>(*this, held, std::move(key));
}

LockClaim MemoryFileSystem::ClaimSwap(std::string_view path) {
  const std::string key = Key(path);
  LockClaim claim;
  if (!FolderExists(ParentKey(key))) return claim;
  if (held_swaps_.contains(key)) {
    claim.outcome = LockClaim::Outcome::kHeldByLiveProcess;
  } else if (const Node* left = Lookup(path)) {
    // Nobody holds it: its process died, or a stranger planted a link
    // there. A folder, or a FIFO that cannot even be looked at, is nobody's
    // to remove.
    if (!left->folder && !left->special) {
      nodes_.erase(key);
      claim.outcome = LockClaim::Outcome::kLeftByDeadProcess;
    }
  } else {
    claim.lock = HoldSwapElsewhere(path);
    claim.outcome = LockClaim::Outcome::kTaken;
  }
  return claim;
}

LockClaim MemoryFileSystem::ClaimFolderLock(std::string_view path) {
  const std::string folder = ParentKey(Key(path));
  LockClaim claim;
  if (!FolderExists(folder)) return claim;
  if (held_folders_.contains(folder)) {
    claim.outcome = LockClaim::Outcome::kHeldByLiveProcess;
  } else {
    claim.lock = Hold(held_folders_, folder);
    claim.outcome = LockClaim::Outcome::kTaken;
  }
  return claim;
}

std::unique_ptr<HeldLock> MemoryFileSystem::HoldSwapElsewhere(
    std::string_view path) {
  if (Create(path) == nullptr) return nullptr;
  return Hold(held_swaps_, Key(path));
}

std::unique_ptr<HeldLock> MemoryFileSystem::HoldFolderElsewhere(
    std::string_view path) {
  return Hold(held_folders_, ParentKey(Key(path)));
}

std::optional<std::string> MemoryFileSystem::LinkTarget(std::string_view path) {
  std::string at(path);
  const Node* node = Lookup(at);
  if (node == nullptr || !node->link) return at;
  std::vector<bool> foreign_links;
  while (node != nullptr && node->link) {
    if (foreign_links.size() == 40) return std::nullopt;
    foreign_links.push_back(node->foreign);
    at = *node->link;
    node = Lookup(at);
  }
  if (node == nullptr || node->folder || node->special) return std::nullopt;
  for (const bool foreign : foreign_links) {
    if (foreign != node->foreign) return std::nullopt;
  }
  return at;
}

bool MemoryFileSystem::CopyAttributes(std::string_view from,
                                      std::string_view to) {
  return Find(from) != nullptr && Find(to) != nullptr;
}

bool MemoryFileSystem::SyncFolderOf(std::string_view path) {
  return FolderExists(ParentKey(Key(path)));
}

std::unique_ptr<FolderWatch> MemoryFileSystem::WatchFolder(
    std::string_view /*path*/) {
  return nullptr;
}

std::optional<std::string> MemoryFileSystem::SystemPath(std::string_view path) {
  if (HoldsNul(path) || !FolderExists(Drive(path))) return std::nullopt;
  return std::string(path);
}

std::optional<std::string> MemoryFileSystem::OwnTemporaryFolder(
    std::string_view path, std::string* in_the_way) {
  if (!shared_.contains(Key(path))) return std::string(path);
  std::string own(path);
  if (own.empty() || own.back() != '\\') own.push_back('\\');
  own += kOwnFolderName;
  MakeFolder(own);
  const Node* node = Lookup(own);
  if (node == nullptr || !node->folder || node->foreign ||
      shared_.contains(Key(own))) {
    *in_the_way = own;
    return std::nullopt;
  }
  return own;
}

bool MemoryFileSystem::InUse(std::string_view path) {
  return held_files_.contains(Key(path));
}

std::unique_ptr<HeldLock> MemoryFileSystem::HoldFileElsewhere(
    std::string_view path) {
  return Hold(held_files_, Key(path));
}

bool MemoryFileSystem::CanMakeFilesIn(std::string_view path) {
  const std::string key = Key(path);
  return FolderExists(key) && !read_only_.contains(key);
}

void MemoryFileSystem::Write(std::string_view path, std::string_view content) {
  std::string folder = Drive(path);
  std::vector<std::string> names = Names(path);
  if (!names.empty()) names.pop_back();
  for (const std::string& name : names) folder += "\\" + name;
  MakeFolder(folder);
  Node* node = Find(path);
  if (node == nullptr) node = Create(path);
  node->content->bytes.assign(content);
  ++node->content->generation;
}

std::string MemoryFileSystem::Read(std::string_view path) const {
  const Node* node = Find(path);
  return node != nullptr && node->content ? node->content->bytes
                                          : std::string();
}

bool MemoryFileSystem::Exists(std::string_view path) const {
  return Lookup(path) != nullptr;
}

void MemoryFileSystem::SetModified(std::string_view path,
                                   const LocalTime& time) {
  if (Node* node = Find(path)) node->modified = time;
}

void MemoryFileSystem::PlantLink(std::string_view path, std::string_view target,
                                 bool foreign) {
  Node* node = Lookup(path);
  if (node == nullptr) node = Create(path);
  if (node == nullptr) return;
  node->link = std::string(target);
  node->content.reset();
  node->folder = false;
  node->foreign = foreign;
}

void MemoryFileSystem::PlantSpecial(std::string_view path) {
  Node* node = Lookup(path);
  if (node == nullptr) node = Create(path);
  if (node == nullptr) return;
  node->special = true;
}

void MemoryFileSystem::GiveAway(std::string_view path) {
  if (Node* node = Lookup(path)) node->foreign = true;
}

}  // namespace trovane::testing
