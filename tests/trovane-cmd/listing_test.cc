// "Dir PATH /s /b": what a disk map holds and in which order.
#include <dirent.h>
#include <gmock/gmock.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "platform/text.h"
#include "tests/trovane-cmd/interpreter_fixture.h"

namespace trovane::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

using ListingTest = InterpreterTest;

TEST_F(ListingTest, NamesComeInCaseInsensitiveOrderWithTiesByBytes) {
  for (const char* name : {"Zoo", "_a", "[x]", "apple", "b", "B", "Banana",
                           "a b", "10", "2", "~t", "zoo"}) {
    sandbox_.Write(std::string("T/") + name, "");
  }
  EXPECT_THAT(
      Listing("C:\\T"),
      ElementsAre("C:\\T\\10", "C:\\T\\2", "C:\\T\\a b", "C:\\T\\apple",
                  "C:\\T\\B", "C:\\T\\b", "C:\\T\\Banana", "C:\\T\\Zoo",
                  "C:\\T\\zoo", "C:\\T\\[x]", "C:\\T\\_a", "C:\\T\\~t"));
}

TEST_F(ListingTest, EveryListedPathIsCountedForTheWaitingProgram) {
  for (int i = 0; i < 3000; ++i) {
    sandbox_.Write("T/F" + std::to_string(i / 1000) + "/" + std::to_string(i),
                   "");
  }
  const std::unique_ptr<ListingCount> count = ListingCount::Create();
  ASSERT_NE(count, nullptr);
  interpreter_.ReportListedPaths(count.get());
  Run({"Dir C:\\T\\F0 /s /b > C:\\a.txt", "Dir C:\\T /s /b >> C:\\a.txt"});
  EXPECT_EQ(count->Read(), 1000U + 3003U);
}

TEST_F(ListingTest, OrderHoldsForLargeFoldersOfLookAlikeNames) {
  // Enough names to take several reads of the folder, sharing long prefixes
  // and differing in case and in bytes above ASCII.
  std::mt19937 random(7);
  const std::string alphabet = "aAbBzZ_[09 ~\xc3\xa9";
  const std::vector<std::string> prefixes = {"", "Report 2024 ", "REPORT 2024 ",
                                             "report"};
  std::set<std::string> names;
  while (names.size() < 3000) {
    std::string name = prefixes[random() % prefixes.size()];
    const size_t size = 1 + random() % 12;
    for (size_t i = 0; i < size; ++i) {
      name += alphabet[random() % alphabet.size()];
    }
    if (name.front() == ' ' || name.back() == ' ') continue;
    names.insert(name);
  }
  sandbox_.MakeFolder("T");
  for (const std::string& name : names) sandbox_.Write("T/" + name, "");

  std::vector<std::string> expected(names.begin(), names.end());
  std::sort(expected.begin(), expected.end(),
            [](const std::string& a, const std::string& b) {
              return CompareNamesNoCase(a, b) < 0;
            });
  for (std::string& name : expected) name.insert(0, "C:\\T\\");
  EXPECT_THAT(Listing("C:\\T\\*"), ElementsAreArray(expected));
}

TEST_F(ListingTest, EachFolderIsListedBeforeItsSubfoldersDepthFirst) {
  sandbox_.Write("T/b.txt", "");
  sandbox_.Write("T/A/z.txt", "");
  sandbox_.Write("T/A/Deep/x", "");
  sandbox_.Write("T/A/a.txt", "");
  sandbox_.MakeFolder("T/c");
  sandbox_.Write("T/D/y", "");
  EXPECT_THAT(
      Listing("C:\\T"),
      ElementsAre("C:\\T\\A", "C:\\T\\b.txt", "C:\\T\\c", "C:\\T\\D",
                  "C:\\T\\A\\a.txt", "C:\\T\\A\\Deep", "C:\\T\\A\\z.txt",
                  "C:\\T\\A\\Deep\\x", "C:\\T\\D\\y"));
}

TEST_F(ListingTest, EveryFormOfAFolderPathListsEverythingBelowIt) {
  sandbox_.Write("T/Sub/f", "");
  sandbox_.Write("T/g.x", "");
  const std::vector<std::string> expected = {"C:\\T\\g.x", "C:\\T\\Sub",
                                             "C:\\T\\Sub\\f"};
  for (const char* path :
       {"C:\\T", "C:\\T\\", "C:\\T\\*", "C:\\T\\*.*", "  C:\\T  "}) {
    EXPECT_EQ(Listing(path), expected) << path;
  }
  // The folder as written, the names as stored.
  EXPECT_THAT(Listing("c:\\t\\SUB"), ElementsAre("c:\\t\\SUB\\f"));
  EXPECT_THAT(Listing("C:\\"), ::testing::Contains("C:\\T\\Sub\\f"));
}

TEST_F(ListingTest, RelativeAndLinuxPathsAreShownInDriveForm) {
  sandbox_.Write("T/Sub/f", "");
  Run({"Cd C:\\T"});
  EXPECT_THAT(Listing("Sub\\*"), ElementsAre("C:\\T\\Sub\\f"));
  EXPECT_THAT(Listing("*"), ElementsAre("C:\\T\\Sub", "C:\\T\\Sub\\f"));
  EXPECT_THAT(Listing("\\T\\Sub"), ElementsAre("C:\\T\\Sub\\f"));
  EXPECT_THAT(Listing(sandbox_.Path("T/Sub") + "/"),
              ElementsAre("C:\\T\\Sub\\f"));
}

TEST_F(ListingTest, DotDotNeverLeavesTheDrive) {
  // The shape of a Map.txt line that tries to reach the system's /etc: it
  // finds drive C's own etc folder, shown as written.
  sandbox_.Write("etc/hosts", "");
  sandbox_.MakeFolder("Temp");
  Run({"Dir C:\\..\\..\\..\\..\\..\\..\\etc\\* /s /b > C:\\Temp\\Trovane.txt"});
  EXPECT_EQ(sandbox_.Read("Temp/Trovane.txt"),
            "C:\\..\\..\\..\\..\\..\\..\\etc\\hosts\r\n");
}

TEST_F(ListingTest, PatternsMatchAtEveryLevelAndEveryFolderIsSearched) {
  sandbox_.Write("T/a.exe", "");
  sandbox_.Write("T/B.EXE", "");
  sandbox_.Write("T/c.txt", "");
  sandbox_.Write("T/Tools.exe/inner.Exe", "");
  sandbox_.Write("T/Sub/Deeper/d.eXe", "");
  sandbox_.Write("T/Sub/e.exe.txt", "");
  EXPECT_THAT(
      Listing("c:\\T\\*.EXE"),
      ElementsAre("c:\\T\\a.exe", "c:\\T\\B.EXE", "c:\\T\\Tools.exe",
                  "c:\\T\\Sub\\Deeper\\d.eXe", "c:\\T\\Tools.exe\\inner.Exe"));
  EXPECT_THAT(
      Listing("C:\\T\\?.exe"),
      ElementsAre("C:\\T\\a.exe", "C:\\T\\B.EXE", "C:\\T\\Sub\\Deeper\\d.eXe"));
}

TEST_F(ListingTest, APlainNameIsLookedForInEveryFolder) {
  sandbox_.Write("T/readme.txt", "");
  sandbox_.Write("T/Sub/README.TXT", "");
  sandbox_.Write("T/Sub/readme.txt.bak", "");
  EXPECT_THAT(Listing("C:\\T\\ReadMe.txt"),
              ElementsAre("C:\\T\\readme.txt", "C:\\T\\Sub\\README.TXT"));
}

TEST_F(ListingTest, AWildcardInAFolderPartFindsNothing) {
  sandbox_.Write("T/Sub/f", "");
  EXPECT_THAT(Listing("C:\\T\\S*\\f"), IsEmpty());
  EXPECT_THAT(Listing("C:\\?\\*"), IsEmpty());
  EXPECT_EQ(Err(), "File Not Found\nFile Not Found\n");
}

TEST_F(ListingTest, HiddenEntriesAreNeitherListedNorEntered) {
  sandbox_.Write("T/.profile", "");
  sandbox_.Write("T/.git/config", "");
  sandbox_.Write("T/Sub/.cache/x", "");
  sandbox_.Write("T/Sub/seen", "");
  EXPECT_THAT(Listing("C:\\T"), ElementsAre("C:\\T\\Sub", "C:\\T\\Sub\\seen"));
  EXPECT_THAT(Listing("C:\\T\\*config*"), IsEmpty());
}

TEST_F(ListingTest, SymbolicLinksAreListedButNeverFollowed) {
  sandbox_.Write("Elsewhere/secret", "");
  sandbox_.Write("T/file", "");
  ASSERT_EQ(symlink(sandbox_.Path("Elsewhere").c_str(),
                    sandbox_.Path("T/to folder").c_str()),
            0);
  ASSERT_EQ(symlink("file", sandbox_.Path("T/to file").c_str()), 0);
  ASSERT_EQ(symlink("nowhere", sandbox_.Path("T/dangling").c_str()), 0);
  EXPECT_THAT(Listing("C:\\T"),
              ElementsAre("C:\\T\\dangling", "C:\\T\\file", "C:\\T\\to file",
                          "C:\\T\\to folder"));
}

TEST_F(ListingTest, NamesWithBlanksAndSignsNeedNoQuoting) {
  sandbox_.Write("T/Program Files & more/a,b>c/x y.txt", "");
  sandbox_.Write("T/Program Files & more/50% | ^off", "");
  EXPECT_THAT(Listing("C:\\T\\Program Files & more"),
              ElementsAre("C:\\T\\Program Files & more\\50% | ^off",
                          "C:\\T\\Program Files & more\\a,b>c",
                          "C:\\T\\Program Files & more\\a,b>c\\x y.txt"));
}

TEST_F(ListingTest, AFolderThatCannotBeReadIsPassedOver) {
  sandbox_.Write("T/Locked/inside", "");
  sandbox_.Write("T/Open/inside", "");
  ASSERT_EQ(chmod(sandbox_.Path("T/Locked").c_str(), 0), 0);
  // Root reads folders whatever their permissions: the listing runs in a
  // process that has given root up, writing where any user may.
  ASSERT_EQ(chmod(sandbox_.root().c_str(), 0777), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) {
      _exit(1);
    }
    interpreter_.RunLine("Dir C:\\T /s /b > C:\\map.txt");
    _exit(0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_THAT(
      CrLfLines(sandbox_.Read("map.txt")),
      ElementsAre("C:\\T\\Locked", "C:\\T\\Open", "C:\\T\\Open\\inside"));
}

TEST_F(ListingTest, DeepTreesAreListedToTheBottom) {
  // Deeper than the number of folders the walk keeps open at once.
  std::string folder = "T";
  std::string shown = "C:\\T";
  std::vector<std::string> expected;
  for (int depth = 0; depth < 100; ++depth) {
    folder += "/d";
    shown += "\\d";
    expected.push_back(shown);
  }
  sandbox_.Write(folder + "/bottom", "");
  expected.push_back(shown + "\\bottom");
  EXPECT_THAT(Listing("C:\\T"), ElementsAreArray(expected));
}

TEST_F(ListingTest, PseudoFileSystemsAreListedButNotEntered) {
  sandbox_.Write("T/proc/1/status", "");
  sandbox_.Write("T/real/file", "");
  UsePseudoMounts(PseudoMounts::FromMountInfo(
      "22 1 0:21 / " + sandbox_.Path("T/proc") + " rw - proc proc rw\n"));
  EXPECT_THAT(Listing("C:\\T"),
              ElementsAre("C:\\T\\proc", "C:\\T\\real", "C:\\T\\real\\file"));
}

TEST_F(ListingTest, AFolderOnAPseudoFileSystemIsNotRead) {
  sandbox_.Write("T/file", "");
  struct stat info;
  ASSERT_EQ(stat(sandbox_.Path("T").c_str(), &info), 0);
  UsePseudoMounts(
      PseudoMounts::FromMountInfo("22 1 " + std::to_string(major(info.st_dev)) +
                                  ":" + std::to_string(minor(info.st_dev)) +
                                  " / /elsewhere rw - sysfs sysfs rw\n"));
  EXPECT_THAT(Listing("C:\\T"), IsEmpty());
  EXPECT_EQ(Err(), "File Not Found\n");
}

TEST_F(ListingTest, NothingFoundLeavesAnEmptyMapAndSaysSo) {
  sandbox_.Write("map.txt", "old contents\r\n");
  sandbox_.Write("T/file", "");
  EXPECT_THAT(Listing("C:\\T\\*.exe"), IsEmpty());
  EXPECT_TRUE(sandbox_.Exists("map.txt"));
  EXPECT_THAT(Listing("C:\\Missing"), IsEmpty());
  EXPECT_THAT(Listing("Q:\\Unmapped"), IsEmpty());
  EXPECT_EQ(Err(), "File Not Found\nFile Not Found\nFile Not Found\n");
}

TEST_F(ListingTest, TheMapIsListedWhenItLiesInTheScannedFolder) {
  sandbox_.Write("T/a", "");
  Run({"Dir C:\\T /s /b > C:\\T\\Map.txt"});
  EXPECT_THAT(CrLfLines(sandbox_.Read("T/Map.txt")),
              ElementsAre("C:\\T\\a", "C:\\T\\Map.txt"));
}

TEST_F(ListingTest, AppendingAddsToTheMapAndCreatesIt) {
  sandbox_.Write("A/one", "");
  sandbox_.Write("B/two", "");
  Run({"Dir C:\\A /s /b >> C:\\map.txt", "Dir C:\\B /s /b >> C:\\map.txt"});
  EXPECT_EQ(sandbox_.Read("map.txt"), "C:\\A\\one\r\nC:\\B\\two\r\n");
  EXPECT_EQ(Err(), "");
}

TEST_F(ListingTest, WithoutRedirectionTheListingGoesToStandardOutput) {
  sandbox_.Write("T/a", "");
  Run({"Dir C:\\T /s /b"});
  EXPECT_EQ(Out(), "C:\\T\\a\r\n");
}

}  // namespace
}  // namespace trovane::testing
