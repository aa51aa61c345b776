// The least any listing of a tree can take on this machine: every folder
// opened and read to its end by as many threads as there are cores, and
// nothing else: no name kept, sorted or written. listing_bench times it
// beside the real listers, so that a listing's ratio to find can be read
// against the part of it the kernel alone costs.
//
// Usage: folder_read_floor TREE_FOLDER
// Prints the number of entries read and of the threads that read them.
// Symbolic links are not followed.
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

// The folders still to read, shared by the readers.
class FolderQueue {
 public:
  explicit FolderQueue(std::string root) {
    waiting_.push_back(std::move(root));
  }

  // The next folder to read; false once every folder has been read.
  bool Take(std::string* folder) {
    std::unique_lock lock(mutex_);
    more_.wait(lock, [this] { return !waiting_.empty() || reading_ == 0; });
    if (waiting_.empty()) return false;
    *folder = std::move(waiting_.back());
    waiting_.pop_back();
    ++reading_;
    return true;
  }

  // A folder taken has been read: `found` are the folders it holds.
  void Done(std::vector<std::string>* found, int64_t entries) {
    {
      const std::lock_guard lock(mutex_);
      for (std::string& folder : *found) waiting_.push_back(std::move(folder));
      --reading_;
      entries_ += entries;
    }
    found->clear();
    more_.notify_all();
  }

  int64_t entries() const { return entries_; }

 private:
  std::mutex mutex_;
  std::condition_variable more_;
  std::vector<std::string> waiting_;
  int reading_ = 0;
  int64_t entries_ = 0;
};

bool IsDotOrDotDot(const char* name) {
  return name[0] == '.' &&
         (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

void ReadFolders(FolderQueue* queue) {
  std::string folder;
  std::vector<std::string> found;
  while (queue->Take(&folder)) {
    int64_t entries = 0;
    const int fd =
        open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    DIR* dir = fd < 0 ? nullptr : fdopendir(fd);
    if (dir == nullptr && fd >= 0) close(fd);
    if (dir != nullptr) {
      while (const dirent* entry = readdir(dir)) {
        if (IsDotOrDotDot(entry->d_name)) continue;
        ++entries;
        if (entry->d_type == DT_DIR) {
          found.push_back(folder + "/" + entry->d_name);
        }
      }
      closedir(dir);
    }
    queue->Done(&found, entries);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: folder_read_floor TREE_FOLDER\n");
    return 2;
  }
  if (access(argv[1], R_OK | X_OK) != 0) {
    std::fprintf(stderr, "folder_read_floor: cannot read %s: %s\n", argv[1],
                 std::strerror(errno));
    return 1;
  }
  FolderQueue queue(argv[1]);
  const unsigned readers = std::max(1U, std::thread::hardware_concurrency());
  std::vector<std::thread> threads;
  for (unsigned i = 0; i < readers; ++i) {
    threads.emplace_back(ReadFolders, &queue);
  }
  for (std::thread& thread : threads) thread.join();
  std::printf("%lld %u\n", static_cast<long long>(queue.entries()), readers);
  return 0;
}
