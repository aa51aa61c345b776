// "Dir PATH /s /b" on a disk in memory: which folder a path names, how its
// lines are shown, which names they hold and where they go.
#include <gmock/gmock.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/listing_count.h"
#include "tests/trovane-cmd/interpreter_fixture.h"

namespace trovane::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

using ListingTest = InterpreterTest;

TEST_F(ListingTest, EveryListedPathIsCountedForTheWaitingProgram) {
  for (int i = 0; i < 3000; ++i) {
    AddFile("T/F" + std::to_string(i / 1000) + "/" + std::to_string(i));
  }
  const std::unique_ptr<ListingCount> count = ListingCount::Create();
  ASSERT_NE(count, nullptr);
  interpreter_->ReportListedPaths(count.get());
  Run({"Dir C:\\T\\F0 /s /b > C:\\a.txt", "Dir C:\\T /s /b >> C:\\a.txt"});
  EXPECT_EQ(count->Read(), 1000U + 3003U);
}

TEST_F(ListingTest, EveryFormOfAFolderPathListsEverythingBelowIt) {
  AddFile("T/Sub/f");
  AddFile("T/g.x");
  const std::vector<std::string> expected = {"C:\\T\\g.x", "C:\\T\\Sub",
                                             "C:\\T\\Sub\\f"};
  for (const char* path :
       {"C:\\T", "C:\\T\\", "C:\\T\\*", "C:\\T\\*.*", "  C:\\T  ", "C:T"}) {
    EXPECT_EQ(Listing(path), expected) << path;
  }
  // The folder as written, the names as stored.
  EXPECT_THAT(Listing("c:\\t\\SUB"), ElementsAre("c:\\t\\SUB\\f"));
  EXPECT_THAT(Listing("C:\\"), ::testing::Contains("C:\\T\\Sub\\f"));
  EXPECT_THAT(Listing("C:*.x"), ElementsAre("C:\\T\\g.x"));
}

TEST_F(ListingTest, RelativeAndSystemPathsAreShownInDriveForm) {
  // Paths as the system names them, in the drive form the environment
  // gives them (on Linux through the drive map).
  environment_.NameInDriveForm("/drive-c/T/Sub/", "C:\\T\\Sub");
  environment_.NameInDriveForm("/drive-c/T/", "C:\\T");
  AddFile("T/Sub/f");
  Run({"Cd C:\\T"});
  EXPECT_THAT(Listing("Sub\\*"), ElementsAre("C:\\T\\Sub\\f"));
  EXPECT_THAT(Listing("*"), ElementsAre("C:\\T\\Sub", "C:\\T\\Sub\\f"));
  EXPECT_THAT(Listing("\\T\\Sub"), ElementsAre("C:\\T\\Sub\\f"));
  EXPECT_THAT(Listing(".\\Sub\\..\\Sub"),
              ElementsAre("C:\\T\\.\\Sub\\..\\Sub\\f"));
  EXPECT_THAT(Listing("/drive-c/T/Sub/"), ElementsAre("C:\\T\\Sub\\f"));
  EXPECT_THAT(Listing("/drive-c/T/*"),
              ElementsAre("C:\\T\\Sub", "C:\\T\\Sub\\f"));
  // The current folder as Cd wrote it, its "." and ".." taken out.
  Run({"Cd \\t\\.\\sub\\..\\SUB"});
  EXPECT_THAT(Listing("*"), ElementsAre("C:\\t\\SUB\\f"));
}

TEST_F(ListingTest, DotDotNeverLeavesTheDrive) {
  // The shape of a Map.txt line that tries to reach the system's /etc: it
  // finds drive C's own etc folder, shown as written.
  AddFile("etc/hosts");
  AddFolder("Temp");
  Run({"Dir C:\\..\\..\\..\\..\\..\\..\\etc\\* /s /b > C:\\Temp\\Trovane.txt"});
  EXPECT_EQ(disk_.Read("Temp/Trovane.txt"),
            "C:\\..\\..\\..\\..\\..\\..\\etc\\hosts\r\n");
  Run({"Cd C:\\etc"});
  EXPECT_THAT(Listing("..\\..\\..\\etc"),
              ElementsAre("C:\\etc\\..\\..\\..\\etc\\hosts"));
}

TEST_F(ListingTest, PatternsMatchAtEveryLevelAndEveryFolderIsSearched) {
  AddFile("T/a.exe");
  AddFile("T/B.EXE");
  AddFile("T/c.txt");
  AddFile("T/Tools.exe/inner.Exe");
  AddFile("T/Sub/Deeper/d.eXe");
  AddFile("T/Sub/e.exe.txt");
  EXPECT_THAT(
      Listing("c:\\T\\*.EXE"),
      ElementsAre("c:\\T\\a.exe", "c:\\T\\B.EXE", "c:\\T\\Tools.exe",
                  "c:\\T\\Sub\\Deeper\\d.eXe", "c:\\T\\Tools.exe\\inner.Exe"));
  EXPECT_THAT(
      Listing("C:\\T\\?.exe"),
      ElementsAre("C:\\T\\a.exe", "C:\\T\\B.EXE", "C:\\T\\Sub\\Deeper\\d.eXe"));
}

TEST_F(ListingTest, APlainNameIsLookedForInEveryFolder) {
  AddFile("T/readme.txt");
  AddFile("T/Sub/README.TXT");
  AddFile("T/Sub/readme.txt.bak");
  EXPECT_THAT(Listing("C:\\T\\ReadMe.txt"),
              ElementsAre("C:\\T\\readme.txt", "C:\\T\\Sub\\README.TXT"));
}

TEST_F(ListingTest, AWildcardInAFolderPartFindsNothing) {
  AddFile("T/Sub/f");
  EXPECT_THAT(Listing("C:\\T\\S*\\f"), IsEmpty());
  EXPECT_THAT(Listing("C:\\?\\*"), IsEmpty());
  EXPECT_EQ(Err(), "File Not Found\nFile Not Found\n");
}

TEST_F(ListingTest, NamesWithBlanksAndSignsNeedNoQuoting) {
  AddFile("T/Program Files & more/a,b;c/x y.txt");
  AddFile("T/Program Files & more/50% ^off (1) [2] 'x'");
  EXPECT_THAT(Listing("C:\\T\\Program Files & more"),
              ElementsAre("C:\\T\\Program Files & more\\50% ^off (1) [2] 'x'",
                          "C:\\T\\Program Files & more\\a,b;c",
                          "C:\\T\\Program Files & more\\a,b;c\\x y.txt"));
}

TEST_F(ListingTest, ANewListingReplacesTheMapWholeAndNothingFoundEmptiesIt) {
  AddFile("map.txt", "C:\\an older listing, longer than the new one\r\n");
  AddFile("T/file");
  EXPECT_THAT(Listing("C:\\T"), ElementsAre("C:\\T\\file"));
  EXPECT_THAT(Listing("C:\\T\\*.exe"), IsEmpty());
  EXPECT_TRUE(disk_.Exists("map.txt"));
  EXPECT_THAT(Listing("C:\\Missing"), IsEmpty());
  EXPECT_THAT(Listing("Q:\\Unmapped"), IsEmpty());
  EXPECT_EQ(Err(), "File Not Found\nFile Not Found\nFile Not Found\n");
}

TEST_F(ListingTest, AppendingAddsToTheMapAndCreatesIt) {
  AddFile("A/one");
  AddFile("B/two");
  Run({"Dir C:\\A /s /b >> C:\\map.txt", "Dir C:\\B /s /b >> C:\\map.txt"});
  EXPECT_EQ(disk_.Read("map.txt"), "C:\\A\\one\r\nC:\\B\\two\r\n");
  EXPECT_EQ(Err(), "");
}

TEST_F(ListingTest, WithoutRedirectionTheListingGoesToStandardOutput) {
  AddFile("T/a");
  Run({"Dir C:\\T /s /b"});
  EXPECT_EQ(Out(), "C:\\T\\a\r\n");
}

}  // namespace
}  // namespace trovane::testing
