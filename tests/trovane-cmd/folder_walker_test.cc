// The walk on trees held in memory: the order and the bytes of the lines,
// however many threads read ahead and however tight the bounds, what
// reading ahead keeps in memory, and what stops it.
#include "trovane-cmd/folder_walker.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "platform/text.h"
#include "tests/support/text_files.h"
#include "tests/trovane-cmd/memory_folder_reader.h"

namespace trovane::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

// Keeps what it is given; fails every write from the `fail_from`th on.
class KeptLines : public ListingSink {
 public:
  explicit KeptLines(size_t fail_from = 0) : fail_from_(fail_from) {}

  bool Write(std::string_view lines, uint64_t count) override {
    const size_t write = ++writes_;
    if (fail_from_ != 0 && write >= fail_from_) return false;
    text_.append(lines);
    count_ += count;
    return true;
  }

  std::vector<std::string> Lines() const { return CrLfLines(text_); }
  uint64_t count() const { return count_; }
  size_t writes() const { return writes_.load(); }

 private:
  const size_t fail_from_;
  std::atomic<size_t> writes_{0};
  std::string text_;
  uint64_t count_ = 0;
};

// A tree as a test describes it, to build the reader's tree from and to
// work out by hand what the listing must be.
struct Tree {
  std::map<std::string, Tree> folders;
  std::vector<std::string> files;

  void Fill(MemoryFolderReader* reader, const std::string& at = "") const {
    for (const std::string& file : files) reader->AddFile(at + file);
    for (const auto& [name, folder] : folders) {
      reader->AddFolder(at + name);
      folder.Fill(reader, at + name + "/");
    }
  }

  // Each folder's names in listing order, then each subfolder in turn.
  void Expect(const std::string& shown, std::vector<std::string>* lines) const {
    std::vector<std::string> names = files;
    for (const auto& entry : folders) names.push_back(entry.first);
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) {
                return CompareNamesNoCase(a, b) < 0;
              });
    for (const std::string& name : names) lines->push_back(shown + "\\" + name);
    for (const std::string& name : names) {
      const auto folder = folders.find(name);
      if (folder != folders.end()) {
        folder->second.Expect(shown + "\\" + name, lines);
      }
    }
  }
};

// Names that share long prefixes and differ in case, in signs that sort
// between the letters and in bytes above ASCII.
std::string RandomName(std::mt19937* random) {
  static const std::vector<std::string> kPrefixes = {"", "Report 2024 ",
                                                     "REPORT 2024 ", "report"};
  static const std::string kAlphabet = "aAbBzZ_[09 ~\xc3\xa9";
  std::string name = kPrefixes[(*random)() % kPrefixes.size()];
  const size_t size = 1 + (*random)() % 6;
  for (size_t i = 0; i < size; ++i) {
    name += kAlphabet[(*random)() % kAlphabet.size()];
  }
  if (name.front() == ' ') name.front() = 'x';
  if (name.back() == ' ') name.back() = 'y';
  return name;
}

void Grow(Tree* tree, int depth, std::mt19937* random) {
  const size_t files = (*random)() % 12;
  for (size_t i = 0; i < files; ++i) {
    tree->files.push_back(RandomName(random) + "." + std::to_string(i));
  }
  if (depth == 0) return;
  const size_t folders = (*random)() % 5;
  for (size_t i = 0; i < folders; ++i) {
    Grow(&tree->folders[RandomName(random)], depth - 1, random);
  }
}

ListingRequest RequestFor(std::string shown = "C:\\T") {
  return ListingRequest{"C:\\", std::move(shown), NameFilter()};
}

TEST(FolderWalkerTest, TheOrderIsTheSameWhateverReadsAheadAndHowFar) {
  const std::vector<WalkLimits> limits = {
      {.readers = 0, .folders_ahead = 1, .bytes_ahead = 1},
      {.readers = 1, .folders_ahead = 1, .bytes_ahead = 1 << 20},
      {.readers = 3, .folders_ahead = 2, .bytes_ahead = 1},
      {.readers = 8, .folders_ahead = 256, .bytes_ahead = 1 << 20},
      {.readers = 16, .folders_ahead = 5, .bytes_ahead = 300}};
  for (const unsigned seed : {1U, 2U, 3U}) {
    std::mt19937 random(seed);
    Tree tree;
    Grow(&tree, 5, &random);
    MemoryFolderReader reader;
    tree.Fill(&reader);
    std::vector<std::string> expected;
    tree.Expect("C:\\T", &expected);
    for (const WalkLimits& limit : limits) {
      KeptLines out;
      const WalkResult result =
          ListFolderTree(RequestFor(), &reader, &out, limit);
      EXPECT_TRUE(result.written);
      EXPECT_EQ(out.count(), expected.size());
      EXPECT_THAT(out.Lines(), ElementsAreArray(expected))
          << "seed " << seed << ", " << limit.readers << " readers";
    }
  }
}

TEST(FolderWalkerTest, NamesComeInCaseInsensitiveOrderWithTiesByBytes) {
  MemoryFolderReader reader;
  for (const char* name :
       {"Zoo", "_a", "[x]", "apple", "b", "B", "Banana", "a b", "10", "2", "~t",
        "zoo", "\xc3\xa9t\xc3\xa9"}) {
    reader.AddFile(name);
  }
  KeptLines out;
  ListFolderTree(RequestFor(), &reader, &out);
  EXPECT_THAT(out.Lines(),
              ElementsAre("C:\\T\\10", "C:\\T\\2", "C:\\T\\a b", "C:\\T\\apple",
                          "C:\\T\\B", "C:\\T\\b", "C:\\T\\Banana", "C:\\T\\Zoo",
                          "C:\\T\\zoo", "C:\\T\\[x]", "C:\\T\\_a", "C:\\T\\~t",
                          "C:\\T\\\xc3\xa9t\xc3\xa9"));
}

TEST(FolderWalkerTest, LargeFoldersOfLookAlikeNamesKeepTheOrder) {
  std::mt19937 random(7);
  Tree tree;
  for (int i = 0; i < 3000; ++i) {
    tree.files.push_back(RandomName(&random) + RandomName(&random));
  }
  std::sort(tree.files.begin(), tree.files.end());
  tree.files.erase(std::unique(tree.files.begin(), tree.files.end()),
                   tree.files.end());
  std::shuffle(tree.files.begin(), tree.files.end(), random);
  MemoryFolderReader reader;
  tree.Fill(&reader);
  std::vector<std::string> expected;
  tree.Expect("C:\\T", &expected);
  KeptLines out;
  ListFolderTree(RequestFor(), &reader, &out);
  EXPECT_THAT(out.Lines(), ElementsAreArray(expected));
}

TEST(FolderWalkerTest, ReadingAheadStaysWithinItsBounds) {
  // Every folder holds a file, so each one read is one write of lines.
  Tree tree;
  for (int i = 0; i < 30; ++i) {
    Tree& folder = tree.folders["F" + std::to_string(i)];
    folder.files.push_back("file");
    for (int j = 0; j < 10; ++j) {
      folder.folders["G" + std::to_string(j)].files.push_back("file");
    }
  }
  tree.files.push_back("file");
  struct Case {
    WalkLimits limits;
    size_t most_ahead;  // folders read ahead of the one being written
  };
  // The writer reads the folder it needs itself when no reader has taken
  // it yet, which may make one more.
  for (const Case& bound :
       {Case{{.readers = 8, .folders_ahead = 3, .bytes_ahead = 1 << 20}, 4},
        Case{{.readers = 4, .folders_ahead = 256, .bytes_ahead = 1}, 5}}) {
    MemoryFolderReader reader;
    tree.Fill(&reader);
    KeptLines out;
    std::atomic<size_t> most_ahead{0};
    reader.OnRead([&] {
      const size_t ahead = reader.reads() - out.writes();
      size_t seen = most_ahead.load();
      while (ahead > seen && !most_ahead.compare_exchange_weak(seen, ahead)) {
      }
    });
    ListFolderTree(RequestFor(), &reader, &out, bound.limits);
    EXPECT_EQ(out.count(), 30U * 22 + 1);
    EXPECT_LE(most_ahead.load(), bound.most_ahead);
  }
}

TEST(FolderWalkerTest, AFailedWriteStopsTheWalk) {
  MemoryFolderReader reader;
  for (int i = 0; i < 2000; ++i) {
    reader.AddFile("F" + std::to_string(i) + "/file");
  }
  KeptLines out(/*fail_from=*/3);
  const WalkLimits limits{.readers = 4, .folders_ahead = 8};
  const WalkResult result = ListFolderTree(RequestFor(), &reader, &out, limits);
  EXPECT_FALSE(result.written);
  EXPECT_EQ(out.writes(), 3U);
  EXPECT_LE(reader.reads(), 3U + 8 + 1 + limits.readers);
}

TEST(FolderWalkerTest, FoldersThatCannotBeReadArePassedOver) {
  MemoryFolderReader reader;
  reader.AddFile("Locked/inside");
  reader.AddFile("Open/inside");
  reader.MakeUnreadable("Locked");
  KeptLines out;
  ListFolderTree(RequestFor(), &reader, &out);
  EXPECT_THAT(out.Lines(), ElementsAre("C:\\T\\Locked", "C:\\T\\Open",
                                       "C:\\T\\Open\\inside"));
}

TEST(FolderWalkerTest,
     NamesNoDrivePathCanHoldAreCountedNeitherListedNorEntered) {
  MemoryFolderReader reader;
  const std::vector<std::string> unfit = {
      "p\r\nC:\\Private\\secret\\wanted5.dll",
      "line\nbreak",
      "tab\there",
      std::string("nul\0byte", 8),
      "del\x7f",
      "back\\slash",
      "drive:colon",
      "star*",
      "what?",
      "say \"so\"",
      "<less",
      "more>",
      "a|b",
      "ends in a blank ",
      "ends in a dot."};
  for (const std::string& name : unfit) reader.AddFile("Sub/" + name);
  reader.AddFile("Sub/evil\r\nC:\\Windows/file inside");
  reader.AddFile("Sub/fine, (1) & more");
  reader.AddFile("Sub/fine name.txt");
  KeptLines out;
  const WalkResult result = ListFolderTree(RequestFor(), &reader, &out);
  EXPECT_THAT(out.Lines(),
              ElementsAre("C:\\T\\Sub", "C:\\T\\Sub\\fine name.txt",
                          "C:\\T\\Sub\\fine, (1) & more"));
  EXPECT_EQ(result.passed_over, unfit.size() + 1);
}

}  // namespace
}  // namespace trovane::testing
