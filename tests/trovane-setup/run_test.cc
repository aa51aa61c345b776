// The run's passes as the window's events run them: the analysis pass
// as RightAfterLoad's tick runs it, and the whole search pass as Start's
// click runs it, with the completion report that ends the run.
#include "trovane-setup/run.h"

#include <gmock/gmock.h>

#include "platform/file_numbers.h"
#include "search/completion_report.h"
#include "tests/search/search_fixture.h"

namespace trovane::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

const char kProblems[] =
    "On double-check illegal entries have been found. There are no illegal "
    "entries in the database at the moment, but to make sure your VEK "
    "programs will run appropriately, you should run Trovane again.";

class RunTest : public SearchTest {
 protected:
  RunTest() {
    passes_.analysis = [this](Window& window) {
      ++analysis_passes_;
      run_passes_.AnalysisPass(window);
    };
    passes_.search = [this](Window& window) { run_passes_.SearchPass(window); };
  }
  RunPasses run_passes_;
  int analysis_passes_ = 0;
};

// With a tick arriving at every yield while the timer is still enabled.
TEST_F(RunTest, TheAnalysisTickRunsTheStagesInOrderExactlyOnce) {
  Write("Run/FileList.txt", "A = x.exe\r\nB=y.dll\r\n");
  Write("App/x.exe", "");
  Write("Trovane", "A=C:\\App\\X.EXE\r\n");
  harness_.front_end.on_yield = [&](int) { window_.RightAfterLoad().Tick(); };

  window_.RightAfterLoad().Tick();

  EXPECT_EQ(analysis_passes_, 1);
  EXPECT_THAT(Log(),
              ElementsAre("About to begin analisys",
                          "Loading file list:", "- A = x.exe", "- B=y.dll",
                          "Innitializing database", "Checking old entries:", "",
                          "Filename from database = C:\\App\\X.EXE",
                          "Tested filename = x.exe", "Correct filename = x.exe",
                          "OK = True", "Not going to look for it", "",
                          "Still have 1 entries to look for:", " - B=y.dll", "",
                          "About to map disk drive contents to file "
                          "[C:\\Temp\\Trovane.txt]",
                          "Building file find batch...",
                          " File query C:\\* added", "Executing batch"));
  // Two entries loaded, two checked, one before the batch is started.
  EXPECT_EQ(yields(), 5);
  EXPECT_EQ(harness_.launcher.started.size(), 1U);
  EXPECT_TRUE(window_.Wait().enabled());
  EXPECT_FALSE(window_.RightAfterLoad().enabled());
}

TEST_F(RunTest, ACleanRunRecordsItsFindsAndEndsWithoutABox) {
  Write("Trovane",
        "INTERNAL FLAG = EXISTS!\r\nTDS = 1\r\nA=C:\\APP\\X.EXE\r\n");
  Write("App/X.EXE", "");
  Write("Lib/y.dll", "");
  Write("Run/FileList.txt", "A=x.exe\r\nB=y.dll\r\n");
  Write("Temp/Trovane.txt", "C:\\App\\X.EXE\r\nC:\\Lib\\y.dll\r\n");
  window_.report().SetWanted({"A=x.exe", "B=y.dll"});
  Want({"B=y.dll"});

  EXPECT_EQ(harness_.ExpectEnd([&] { window_.Start_Click(); }), 0);

  EXPECT_THAT(harness_.front_end.boxes, IsEmpty());
  ASSERT_EQ(harness_.front_end.summaries.size(), 1U);
  EXPECT_THAT(harness_.front_end.summaries[0].lines,
              ElementsAre("Trovane Setup: 2 of 2 wanted entries recorded."));
  EXPECT_TRUE(harness_.front_end.summaries[0].all_well);
  EXPECT_THAT(
      Log(),
      ElementsAre(
          "About to begin search", "Done", "",
          "Doubble-checking:", "--- Serial number: 1",
          "Checking value = INTERNAL FLAG", "--- Serial number: 2",
          "Checking value = TDS", "--- Serial number: 3", "Checking value = A",
          "Filename from Trovane databank = C:\\APP\\X.EXE",
          "Correct filename = x.exe", "Checks up = True", "Exists = True",
          "--- Serial number: 4", "Checking value = B",
          "Filename from Trovane databank = C:\\LIB\\Y.DLL",
          "Correct filename = y.dll", "Checks up = True", "Exists = True",
          "--- Serial number: 5", "Checking value = ", "", "Finnished", "",
          "About to exit", "Cleanup"));
  EXPECT_EQ(Read("Trovane"),
            CrLf({"INTERNAL FLAG = EXISTS!", "TDS = 1", "A=C:\\APP\\X.EXE",
                  "B=C:\\LIB\\Y.DLL",
                  "List of files that Must Exist=C:\\Run\\MustExist.txt",
                  "Trovane root content upkeep file=C:\\Run\\FileList.txt"}));
  EXPECT_EQ(window_.DoingWhat().caption(), "DONE!");
  EXPECT_EQ(window_.Filename().caption(), "Exitting...");
  EXPECT_EQ(FileNumbers::Process().OpenCount(), 0);
}

// Notes at the box whether the bookkeeping entries were written already.
class BoxWatcher : public ScriptedFrontEnd {
 public:
  explicit BoxWatcher(Data& data) : data_(data) {}
  void MessageBox(std::string_view title, std::string_view text,
                  const std::vector<std::string>& details) override {
    ScriptedFrontEnd::MessageBox(title, text, details);
    bookkept_at_box =
        !data_.Query(kTrovaneDatabank, "Trovane root content upkeep file")
             .empty();
  }
  bool bookkept_at_box = false;

 private:
  Data& data_;
};

TEST_F(RunTest, ProblemsAreShownBeforeTheBookkeepingIsWritten) {
  Write("Trovane", "INTERNAL FLAG = EXISTS!\r\nTDS = 1\r\nG=C:\\GONE\r\n");
  BoxWatcher watcher(harness_.data);
  Window window(
      {harness_.files, harness_.clock, harness_.data, FileNumbers::Process(),
       harness_.launcher, "", [](int status) { throw ProcessEnded{status}; }},
      passes_, watcher);
  watcher.Show(window);
  window.Form_Load();

  EXPECT_EQ(harness_.ExpectEnd([&] { window.Start_Click(); }), 1);

  EXPECT_THAT(watcher.boxes, ElementsAre(std::pair<std::string, std::string>(
                                 "Problems encountered...", kProblems)));
  EXPECT_THAT(watcher.box_details,
              ElementsAre(ElementsAre(
                  "G (C:\\GONE) removed: no file or folder is there.")));
  EXPECT_FALSE(watcher.bookkept_at_box);
  EXPECT_EQ(Value("List of files that Must Exist"), "C:\\Run\\MustExist.txt");
  EXPECT_EQ(Value("Trovane root content upkeep file"), "C:\\Run\\FileList.txt");
  EXPECT_EQ(Value("G"), "");
  const std::vector<std::string> log = Log();
  ASSERT_GE(log.size(), 8U);
  EXPECT_THAT(std::vector<std::string>(log.end() - 8, log.end()),
              ElementsAre("Line removed", "--- Serial number: 3",
                          "Checking value = ", "", "Finnished", "",
                          "About to exit", "Cleanup"));
}

// A databank that cannot be rewritten: the removal did not happen, and the
// message does not say it did.
TEST_F(RunTest, ARemovalThatCannotBeWrittenIsNotCalledDone) {
  Write("Trovane", "INTERNAL FLAG = EXISTS!\r\nTDS = 1\r\nG=C:\\GONE\r\n");
  // A folder where a rewrite of the databank builds its new content.
  Write(".Trovane.trovane-new/blocker", "");

  EXPECT_EQ(harness_.ExpectEnd([&] { window_.Start_Click(); }), 1);

  EXPECT_THAT(
      harness_.front_end.boxes,
      ElementsAre(std::pair<std::string, std::string>(
          "Problems encountered...", std::string(kProblemsUnremovedText))));
  EXPECT_THAT(harness_.front_end.box_details,
              ElementsAre(ElementsAre("G (C:\\GONE) could not be removed: no "
                                      "file or folder is there; C:\\Trovane "
                                      "could not be written.")));
  ASSERT_EQ(harness_.front_end.summaries.size(), 1U);
  EXPECT_THAT(harness_.front_end.summaries[0].lines,
              ::testing::Contains("Not removed: G, no file or folder is there; "
                                  "C:\\Trovane could not be written."));
  EXPECT_EQ(Value("G"), "C:\\GONE");
}

// A databank that is a folder takes nothing: what was found is not called
// recorded, and the run ends with problems though nothing was removed.
TEST_F(RunTest, WhatCouldNotBeRecordedIsNamedAndEndsTheRunWithProblems) {
  harness_.files.MakeFolder("Trovane");
  Write("App/X.EXE", "");
  Write("Temp/Trovane.txt", "C:\\App\\X.EXE\r\n");
  window_.report().SetWanted({"A=x.exe"});
  Want({"A=x.exe"});

  EXPECT_EQ(harness_.ExpectEnd([&] { window_.Start_Click(); }), 1);

  EXPECT_THAT(harness_.front_end.boxes, IsEmpty());
  ASSERT_EQ(harness_.front_end.summaries.size(), 1U);
  EXPECT_THAT(
      harness_.front_end.summaries[0].lines,
      ElementsAre("Trovane Setup: 0 of 1 wanted entries recorded.",
                  "Not recorded: A, found at C:\\APP\\X.EXE; C:\\Trovane could "
                  "not be written.",
                  "Not written to C:\\Trovane: List of files that Must "
                  "Exist=C:\\Run\\MustExist.txt.",
                  "Not written to C:\\Trovane: Trovane root content upkeep "
                  "file=C:\\Run\\FileList.txt."));
}

}  // namespace
}  // namespace trovane::testing
