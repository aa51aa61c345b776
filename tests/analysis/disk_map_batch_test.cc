// The scan batch: which folders of the folder list are scanned, the batch's
// exact text, its start, and the hand-over to the batch wait.
#include <gmock/gmock.h>

#include "tests/analysis/analysis_fixture.h"

namespace trovane::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

const std::string kRule = "Echo " + std::string(61, '-');

// The batch around the given scan lines, for the temporary folder `temp`.
std::string Batch(std::initializer_list<std::string_view> scans,
                  const std::string& temp = "C:\\Temp") {
  std::string batch = CrLf(
      {"@Echo off",
       "Echo This batch is part of and was created by VEK Trovane Setup.",
       "Echo This batch is harmless, it only scans the disk for filenames.",
       kRule,
       "Echo Please let it run and finnish, so that Trovane can continue.",
       "Echo (This may take a while)", kRule, "Echo Innitiating...",
       "Del " + temp + "\\Signal.txt", "Cd\\"});
  batch += CrLf(scans);
  batch +=
      CrLf({"Echo Finnishing...", "Echo OK! > " + temp + "\\Signal.txt", kRule,
            "Echo DONE! You may now close this window in case it remains "
            "open."});
  return batch;
}

TEST(FolderTailTest, IsTheTextAfterTheLastStarElseAfterTheLastBackslash) {
  EXPECT_EQ(FolderTail("C:\\*"), "");
  EXPECT_EQ(FolderTail("C:\\Games\\*.EXE"), ".EXE");
  EXPECT_EQ(FolderTail("C:\\A*\\Sub"), "\\Sub");
  EXPECT_EQ(FolderTail("C:\\Program Files"), "Program Files");
  EXPECT_EQ(FolderTail("C:\\Docs\\"), "");
  EXPECT_EQ(FolderTail("Tools"), "Tools");

  const std::vector<std::string> items = {"A=x.exe", "P=program files\\p.exe"};
  EXPECT_TRUE(IsRelevant("D:\\PROGRAM FILES", items));
  EXPECT_TRUE(IsRelevant("C:\\*", items));
  EXPECT_TRUE(IsRelevant("C:\\X\\*.EXE", items));
  EXPECT_FALSE(IsRelevant("C:\\Windows", items));
  EXPECT_FALSE(IsRelevant("C:\\*", {}));
}

TEST_F(AnalysisTest, WithoutAFolderListTheWholeDriveIsScanned) {
  Want({"A=x.exe"});
  Build(3);
  EXPECT_EQ(Read("Run/Map.txt"), "C:\\*\r\n\r\n");
  EXPECT_EQ(Read("Run/Map.bat"),
            Batch({"Echo Now scanning C:\\*...",
                   "Dir C:\\* /s /b > C:\\Temp\\Trovane.txt"}));
  ASSERT_EQ(launcher_.started.size(), 1U);
  EXPECT_EQ(launcher_.started[0].program, kInterpreter);
  EXPECT_THAT(launcher_.started[0].arguments, ElementsAre("C:\\Run\\Map.Bat"));
  EXPECT_THAT(Log(), ElementsAre("About to map disk drive contents to file "
                                 "[C:\\Temp\\Trovane.txt]",
                                 "Building file find batch...",
                                 " File query C:\\* added", "Executing batch"));
  EXPECT_EQ(window_.DoingWhat().caption(), "Mapping disk drive contents...");
  EXPECT_EQ(window_.P1().max(), 3.0F);
  EXPECT_EQ(window_.P1().value(), window_.P1().min());
  EXPECT_EQ(yields(), 1);
  EXPECT_TRUE(window_.Wait().enabled());
  EXPECT_FALSE(window_.RightAfterLoad().enabled());
}

TEST_F(AnalysisTest, EachRelevantFolderAddsTwoLinesTheFirstListingReplaces) {
  const std::string folders =
      "C:\\Games\\*\r\n"
      "C:\\Program Files\r\n"
      "   \r\n"
      "D:\\Tools\r\n"
      "\r\n"
      "C:\\Docs\\\r\n";
  Write("Run/Map.txt", folders);
  Want({"A=x.exe", "P=PROGRAM FILES\\a   b.exe"});
  Build(3);
  EXPECT_EQ(Read("Run/Map.bat"),
            Batch({"Echo Now scanning C:\\Games\\*...",
                   "Dir C:\\Games\\* /s /b > C:\\Temp\\Trovane.txt",
                   "Echo Now scanning C:\\Program Files...",
                   "Dir C:\\Program Files /s /b >> C:\\Temp\\Trovane.txt",
                   "Echo Now scanning C:\\Docs\\...",
                   "Dir C:\\Docs\\ /s /b >> C:\\Temp\\Trovane.txt"}));
  // The line of blanks is relevant, as an entry holds the same blanks, and
  // is passed over without a word.
  EXPECT_THAT(Log(),
              ElementsAre("About to map disk drive contents to file "
                          "[C:\\Temp\\Trovane.txt]",
                          "Building file find batch...",
                          " File query C:\\Games\\* added",
                          " File query C:\\Program Files added",
                          " Not looking in D:\\Tools due to irrelevance",
                          " File query C:\\Docs\\ added", "Executing batch"));
  EXPECT_EQ(Read("Run/Map.txt"), folders);
}

TEST_F(AnalysisTest, AByteOrderMarkIsNoPartOfTheFirstFolder) {
  Write("Run/Map.txt",
        "\xEF\xBB\xBF"
        "C:\\Games\\*\r\n");
  Want({"A=x.exe"});
  Build(2);
  EXPECT_EQ(Read("Run/Map.bat"),
            Batch({"Echo Now scanning C:\\Games\\*...",
                   "Dir C:\\Games\\* /s /b > C:\\Temp\\Trovane.txt"}));
}

TEST_F(AnalysisTest, ALineOfBlanksNoEntryHoldsIsLoggedAsIrrelevant) {
  Write("Run/Map.txt", "  \r\nC:\\Tools\r\n");
  Want({"A=x.exe"});
  Build(2);
  EXPECT_EQ(Read("Run/Map.bat"), Batch({}));
  EXPECT_THAT(Log(), ElementsAre("About to map disk drive contents to file "
                                 "[C:\\Temp\\Trovane.txt]",
                                 "Building file find batch...",
                                 " Not looking in    due to irrelevance",
                                 " Not looking in C:\\Tools due to irrelevance",
                                 "Executing batch"));
}

TEST_F(AnalysisTest, ATemporaryFolderWithBlanksIsWrittenWithoutQuotes) {
  harness_.files.MakeFolder("C:\\My Temp");
  harness_.environment.Set("TEMP", "C:\\My Temp");
  window_.Form_Load();
  Want({"A=x.exe"});
  Build(2);
  EXPECT_EQ(Read("Run/Map.bat"),
            Batch({"Echo Now scanning C:\\*...",
                   "Dir C:\\* /s /b > C:\\My Temp\\Trovane.txt"},
                  "C:\\My Temp"));
}

TEST_F(AnalysisTest, WithNoEntriesLeftNothingIsBuiltButTheWaitBegins) {
  Build(1);
  EXPECT_THAT(Log(), IsEmpty());
  EXPECT_FALSE(Exists("Run/Map.txt"));
  EXPECT_FALSE(Exists("Run/Map.bat"));
  EXPECT_THAT(launcher_.started, IsEmpty());
  EXPECT_EQ(yields(), 0);
  EXPECT_TRUE(window_.Wait().enabled());
  EXPECT_FALSE(window_.RightAfterLoad().enabled());
}

TEST_F(AnalysisTest, ABatchThatCannotBeWrittenOrRunIsNotStarted) {
  Want({"A=x.exe"});
  harness_.files.MakeFolder("C:\\Run\\Map.bat");  // in the batch's place
  Build(2);
  EXPECT_THAT(launcher_.started, IsEmpty());
  EXPECT_THAT(Log(), ::testing::Contains("Executing batch"));
  EXPECT_TRUE(window_.Wait().enabled());
  EXPECT_FALSE(window_.RightAfterLoad().enabled());

  // A batch written whole, but no interpreter to run it.
  WindowHarness without(passes_, /*interpreter=*/"");
  without.window.Form_Load();
  without.window.FileList().AddItem("A=x.exe");
  BuildDiskMapBatch(without.window, 2);
  EXPECT_THAT(without.launcher.started, IsEmpty());
  EXPECT_TRUE(without.files.Exists("Run/Map.bat"));
}

}  // namespace
}  // namespace trovane::testing
