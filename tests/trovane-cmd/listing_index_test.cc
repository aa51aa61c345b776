// The index a listing into a file keeps beside it, on the real disk: a
// repeat listing after any change to the tree, or to the index itself, is
// byte for byte a fresh listing, and reads from the disk only the folders
// whose stamps moved (all of them when the index is not to be trusted).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/linux/linux_index_files.h"
#include "tests/support/fakes.h"
#include "tests/support/sandbox.h"
#include "tests/trovane-cmd/drive_map_environment.h"
#include "trovane-cmd/interpreter.h"
#include "trovane-cmd/linux/linux_folder_reader.h"

namespace trovane::testing {
namespace {

constexpr int64_t kHourNs = int64_t{3600} * 1'000'000'000;

int64_t RealNowNs() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  return int64_t{now.tv_sec} * 1'000'000'000 + now.tv_nsec;
}

int64_t ChangedNs(const std::string& path) {
  struct stat info {};
  lstat(path.c_str(), &info);
  return int64_t{info.st_ctim.tv_sec} * 1'000'000'000 + info.st_ctim.tv_nsec;
}

// The Linux reader, counting the folders it reads from the disk and, with
// `opens`, the subfolders it opens.
class CountingReader : public LinuxFolderReader {
 public:
  CountingReader(const Sandbox& sandbox, std::atomic<int>* reads,
                 std::atomic<int>* opens = nullptr)
      : LinuxFolderReader(PathView(sandbox.Drives(), sandbox.root()),
                          PseudoMounts()),
        reads_(reads),
        opens_(opens) {}

  bool Read(Folder& folder, FolderListing* listing) override {
    ++*reads_;
    return LinuxFolderReader::Read(folder, listing);
  }
  FolderPtr OpenSubfolder(const FolderPtr& parent, const char* name) override {
    if (opens_ != nullptr) ++*opens_;
    return LinuxFolderReader::OpenSubfolder(parent, name);
  }

 private:
  std::atomic<int>* reads_;
  std::atomic<int>* opens_;
};

// An index being written that kills its process halfway through its first
// write, as kill -9 would.
class KillingSink : public IndexSink {
 public:
  explicit KillingSink(std::unique_ptr<IndexSink> sink)
      : sink_(std::move(sink)) {}
  bool Write(std::string_view bytes) override {
    sink_->Write(bytes.substr(0, bytes.size() / 2));
    raise(SIGKILL);
    return false;
  }
  bool Commit() override { return sink_->Commit(); }

 private:
  std::unique_ptr<IndexSink> sink_;
};

// The Linux index files, their clock set by the test: a tree made just now
// would otherwise be too young to be trusted from an index.
// With `killing`, their writing kills the process.
class ClockedIndexFiles : public LinuxIndexFiles {
 public:
  ClockedIndexFiles(const Sandbox& sandbox, const int64_t* now, bool killing)
      : LinuxIndexFiles(PathView(sandbox.Drives(), sandbox.root())),
        now_(now),
        killing_(killing) {}
  int64_t NowNs() const override { return *now_; }
  std::unique_ptr<IndexSink> StartNext(std::string_view target,
                                       int ordinal) override {
    std::unique_ptr<IndexSink> sink =
        LinuxIndexFiles::StartNext(target, ordinal);
    if (killing_ && sink) return std::make_unique<KillingSink>(std::move(sink));
    return sink;
  }

 private:
  const int64_t* now_;
  const bool killing_;
};

// Drive C in a sandbox with a tree in C:\T, listed into C:\map.txt by an
// interpreter that keeps its index, and into C:\fresh.txt by one without.
class IndexedDrive {
 public:
  static constexpr int kFolders = 8;
  static constexpr const char* kIndex = ".map.txt.index";

  IndexedDrive() {
    sandbox_.Write("T/a.txt", "");
    sandbox_.Write("T/Deep/L1/side.txt", "");
    sandbox_.Write("T/Deep/L1/L2/L3/f1", "");
    sandbox_.Write("T/Deep/L1/L2/L3/f2", "");
    sandbox_.Write("T/Deep/L1/L2/L3/f3.txt", "");
    sandbox_.Write("T/Other/x", "");
    sandbox_.Write("T/Other/a|b", "");  // passed over, and said so
    sandbox_.Write("T/Other/Sub/y", "");
    sandbox_.MakeFolder("T/Empty");
    environment_.MapDrives(sandbox_.Drives());
    StartInterpreter(/*killing=*/false);
  }

  // The interpreter that keeps the index; with `killing`, one that kills
  // its process halfway through writing the index.
  void StartInterpreter(bool killing) {
    interpreter_.emplace(
        files_, environment_, console_,
        std::make_unique<CountingReader>(sandbox_, &reads_, &opens_),
        std::make_unique<ClockedIndexFiles>(sandbox_, &now_, killing));
  }

  // The listing's start, as the index files' clock tells it: an hour on,
  // so that the tree counts as made well before.
  void ListLater() { now_ = RealNowNs() + kHourNs; }
  void ListNow() { now_ = RealNowNs(); }

  // The bytes of the disk map and what went to standard error.
  struct Listed {
    std::string map;
    std::string error;
    bool operator==(const Listed&) const = default;
  };

  Listed List(const std::string& folder) {
    return Run({"Dir " + folder + " /s /b > C:\\map.txt"});
  }

  // Runs batch lines that write C:\map.txt.
  Listed Run(std::initializer_list<std::string> lines) {
    reads_ = 0;
    opens_ = 0;
    const size_t error_before = console_.error.size();
    for (const std::string& line : lines) interpreter_->RunLine(line);
    return {sandbox_.Read("map.txt"), console_.error.substr(error_before)};
  }

  Listed Fresh(const std::string& folder) {
    std::atomic<int> reads{0};
    Interpreter fresh(files_, environment_, console_,
                      std::make_unique<CountingReader>(sandbox_, &reads));
    const size_t error_before = console_.error.size();
    fresh.RunLine("Dir " + folder + " /s /b > C:\\fresh.txt");
    return {sandbox_.Read("fresh.txt"), console_.error.substr(error_before)};
  }

  // Waits until a change made now gets a change time later than every
  // folder of the tree has: within one tick of the file system's clock it
  // could get the very same time, which no stamp can tell apart (an index
  // written that close to a change is never trusted for it).
  void PassTick() const {
    int64_t latest = 0;
    for (const auto& entry :
         std::filesystem::recursive_directory_iterator(sandbox_.Path("T"))) {
      if (entry.is_directory()) {
        latest = std::max(latest, ChangedNs(entry.path().string()));
      }
    }
    latest = std::max(latest, ChangedNs(sandbox_.Path("T")));
    while (ChangedNs(sandbox_.Path("tick")) <= latest) {
      sandbox_.Write("tick", "");
      chmod(sandbox_.Path("tick").c_str(), 0600);
    }
  }

  int reads() const { return reads_.load(); }
  int opens() const { return opens_.load(); }
  const Sandbox& sandbox() const { return sandbox_; }
  std::string Path(std::string_view relative) const {
    return sandbox_.Path(relative);
  }

 private:
  Sandbox sandbox_;
  LinuxFileSystem files_ = sandbox_.Files();
  DriveMapEnvironment environment_{"C:\\"};
  FakeConsole console_;
  std::atomic<int> reads_{0};
  std::atomic<int> opens_{0};
  int64_t now_ = 0;
  std::optional<Interpreter> interpreter_;
};

void Flip(const std::string& path, off_t at) {
  const int fd = open(path.c_str(), O_RDWR);
  char byte = 0;
  ASSERT_EQ(pread(fd, &byte, 1, at), 1);
  byte = static_cast<char>(byte ^ 0x20);
  ASSERT_EQ(pwrite(fd, &byte, 1, at), 1);
  close(fd);
}

struct Case {
  const char* name;
  // Changes the tree or the index after the first listing.
  std::function<void(IndexedDrive&)> change;
  // The folders the repeat reads from the disk.
  int reads;
  // The folder the repeat lists, and the one listed first.
  std::string repeated = "C:\\T";
  std::string first = "C:\\T";
  // The first listing starts as the tree is made, too close to trust it.
  bool racy = false;
};

TEST(ListingIndexTest, ARepeatListingIsAFreshOneReadingOnlyWhatChanged) {
  constexpr int kAll = IndexedDrive::kFolders;
  const auto index = [](IndexedDrive& drive) {
    return drive.Path(IndexedDrive::kIndex);
  };
  const std::vector<Case> cases = {
      {"nothing changed", [](IndexedDrive&) {}, 0},
      {"a file added deep",
       [](IndexedDrive& d) { d.sandbox().Write("T/Deep/L1/L2/L3/f3", ""); }, 1},
      {"a file removed deep",
       [](IndexedDrive& d) {
         ASSERT_EQ(unlink(d.Path("T/Deep/L1/L2/L3/f1").c_str()), 0);
       },
       1},
      {"a file renamed deep",
       [](IndexedDrive& d) {
         ASSERT_EQ(rename(d.Path("T/Deep/L1/L2/L3/f1").c_str(),
                          d.Path("T/Deep/L1/L2/L3/F0").c_str()),
                   0);
       },
       1},
      // The folder moved changes too, but the folder below it keeps its
      // entries from the index, now under another path.
      {"a folder renamed deep",
       [](IndexedDrive& d) {
         ASSERT_EQ(rename(d.Path("T/Deep/L1/L2").c_str(),
                          d.Path("T/Deep/L1/M2").c_str()),
                   0);
       },
       2},
      {"a folder's modify time set back after a change",
       [](IndexedDrive& d) {
         struct stat before {};
         ASSERT_EQ(stat(d.Path("T/Deep/L1/L2/L3").c_str(), &before), 0);
         d.sandbox().Write("T/Deep/L1/L2/L3/f3", "");
         const timespec times[2] = {before.st_atim, before.st_mtim};
         ASSERT_EQ(
             utimensat(AT_FDCWD, d.Path("T/Deep/L1/L2/L3").c_str(), times, 0),
             0);
       },
       1},
      // Its parent's times set back too: only the identity tells.
      {"a folder replaced by another of the same name",
       [](IndexedDrive& d) {
         struct stat before {};
         ASSERT_EQ(stat(d.Path("T").c_str(), &before), 0);
         ASSERT_EQ(rename(d.Path("T/Other").c_str(), d.Path("Gone").c_str()),
                   0);
         d.sandbox().Write("T/Other/x2", "");
         d.sandbox().Write("T/Other/Sub2/z", "");
         const timespec times[2] = {before.st_atim, before.st_mtim};
         ASSERT_EQ(utimensat(AT_FDCWD, d.Path("T").c_str(), times, 0), 0);
       },
       3},
      // The header is 44 bytes, then the start folder's record, whose
      // checksum this spoils: that folder alone is read again.
      {"the index spoilt in a record",
       [&index](IndexedDrive& d) { Flip(index(d), 80); }, 1},
      {"the index cut short",
       [&index](IndexedDrive& d) {
         ASSERT_EQ(truncate(index(d).c_str(),
                            std::filesystem::file_size(index(d)) / 2),
                   0);
       },
       kAll},
      // The version follows the eight bytes of the magic.
      {"the index of another version",
       [&index](IndexedDrive& d) { Flip(index(d), 8); }, kAll},
      {"the index of another start folder", [](IndexedDrive&) {}, 4,
       "C:\\T\\Deep"},
      {"the index a symbolic link to a whole index",
       [&index](IndexedDrive& d) {
         ASSERT_EQ(rename(index(d).c_str(), d.Path("whole.index").c_str()), 0);
         ASSERT_EQ(symlink("whole.index", index(d).c_str()), 0);
       },
       kAll},
      {"the index writable by others",
       [&index](IndexedDrive& d) {
         ASSERT_EQ(chmod(index(d).c_str(), 0666), 0);
       },
       kAll},
      {"the index another user's",
       [&index](IndexedDrive& d) {
         // Only root can give a file away; for anyone else the file is
         // made group-writable, which tells the same.
         if (chown(index(d).c_str(), 65534, 65534) != 0) {
           ASSERT_EQ(chmod(index(d).c_str(), 0620), 0);
         }
       },
       kAll},
      {"a named pipe at the index's name",
       [&index](IndexedDrive& d) {
         ASSERT_EQ(unlink(index(d).c_str()), 0);
         ASSERT_EQ(mkfifo(index(d).c_str(), 0600), 0);
       },
       kAll},
      {"the last listing started as the tree was made", [](IndexedDrive&) {},
       kAll, "C:\\T", "C:\\T", /*racy=*/true},
      // The index vouched for the map as the listing left it: a map
      // written since is compared again, and mended.
      {"the disk map written over since, its size kept",
       [](IndexedDrive& d) { Flip(d.Path("map.txt"), 20); }, 0},
      // A folder taken from the index whose lines come where they came,
      // as many bytes, but under another path: only the path tells.
      {"a folder renamed deep, under a filter that lists no folder",
       [](IndexedDrive& d) {
         ASSERT_EQ(rename(d.Path("T/Deep/L1/L2").c_str(),
                          d.Path("T/Deep/L1/M2").c_str()),
                   0);
       },
       2, "C:\\T\\*.txt", "C:\\T\\*.txt"},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    IndexedDrive drive;
    if (test.racy) {
      drive.ListNow();
    } else {
      drive.ListLater();
    }
    ASSERT_EQ(drive.List(test.first), drive.Fresh(test.first));
    ASSERT_EQ(drive.reads(), kAll);
    drive.PassTick();
    test.change(drive);
    drive.ListLater();
    const IndexedDrive::Listed repeat = drive.List(test.repeated);
    EXPECT_EQ(drive.reads(), test.reads);
    const IndexedDrive::Listed fresh = drive.Fresh(test.repeated);
    EXPECT_EQ(repeat, fresh);
    EXPECT_NE(fresh.map, "");
    // What the repeat recorded, taken from the disk or from the index, is
    // whole: the next listing reads nothing.
    EXPECT_EQ(drive.List(test.repeated), fresh);
    EXPECT_EQ(drive.reads(), 0);
  }
}

// A file made and removed again moves its folder's times but none of its
// names: the folder is read again, every time, and the last index stays.
TEST(ListingIndexTest, AFolderWhoseNamesStayTheSameLeavesTheIndexAsItWas) {
  IndexedDrive drive;
  drive.ListLater();
  drive.List("C:\\T");
  const std::string index = drive.Path(IndexedDrive::kIndex);
  struct stat first {};
  ASSERT_EQ(stat(index.c_str(), &first), 0);
  drive.PassTick();
  drive.sandbox().Write("T/Deep/L1/passing", "");
  ASSERT_EQ(unlink(drive.Path("T/Deep/L1/passing").c_str()), 0);
  for (int listing = 0; listing < 2; ++listing) {
    EXPECT_EQ(drive.List("C:\\T"), drive.Fresh("C:\\T"));
    EXPECT_EQ(drive.reads(), 1);
  }
  struct stat last {};
  ASSERT_EQ(stat(index.c_str(), &last), 0);
  EXPECT_EQ(last.st_ino, first.st_ino) << "the index was written anew";
}

// Of the folders below C:\T, Deep, L1, L2 and Other hold folders; L3, Sub
// and Empty hold none, and are opened only once their stamps move.
TEST(ListingIndexTest, AnUnchangedFolderHoldingNoFolderIsNotEvenOpened) {
  IndexedDrive drive;
  drive.ListLater();
  drive.List("C:\\T");
  EXPECT_EQ(drive.opens(), IndexedDrive::kFolders - 1);
  EXPECT_EQ(drive.List("C:\\T"), drive.Fresh("C:\\T"));
  EXPECT_EQ(drive.opens(), 4);
  EXPECT_EQ(drive.reads(), 0);
  drive.PassTick();
  drive.sandbox().Write("T/Deep/L1/L2/L3/f3", "");
  EXPECT_EQ(drive.List("C:\\T"), drive.Fresh("C:\\T"));
  EXPECT_EQ(drive.opens(), 5);
  EXPECT_EQ(drive.reads(), 1);
}

TEST(ListingIndexTest, EachListingIntoTheSameMapHasAnIndexOfItsOwn) {
  IndexedDrive drive;
  drive.ListLater();
  const auto batch = [&drive] {
    return drive.Run({"Dir C:\\T\\Deep /s /b > C:\\map.txt",
                      "Dir C:\\T\\Other /s /b >> C:\\map.txt"});
  };
  const IndexedDrive::Listed first = batch();
  EXPECT_EQ(drive.reads(), 6);
  EXPECT_EQ(batch(), first);
  EXPECT_EQ(drive.reads(), 0);
}

TEST(ListingIndexTest, AListingKilledWhileWritingItsIndexLeavesTheLastOne) {
  IndexedDrive drive;
  drive.ListLater();
  drive.List("C:\\T");
  drive.PassTick();
  drive.sandbox().Write("T/Deep/L1/L2/L3/f3", "");
  drive.StartInterpreter(/*killing=*/true);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    drive.List("C:\\T");
    _exit(0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
  // The half-written index lies beside the last one, and is never read.
  ASSERT_TRUE(
      drive.sandbox().Exists(std::string(IndexedDrive::kIndex) + ".new"));
  drive.StartInterpreter(/*killing=*/false);
  EXPECT_EQ(drive.List("C:\\T"), drive.Fresh("C:\\T"));
  EXPECT_EQ(drive.reads(), 1) << "the last index was used";
  EXPECT_FALSE(
      drive.sandbox().Exists(std::string(IndexedDrive::kIndex) + ".new"));
}

}  // namespace
}  // namespace trovane::testing
