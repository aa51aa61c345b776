// Loading the wanted-entry list: comma-delimited fields, which of them are
// entries, and what the loading logs and yields.
#include <gmock/gmock.h>

#include "tests/analysis/analysis_fixture.h"

namespace trovane::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST_F(AnalysisTest, CommasSplitEntriesUnlessAQuoteOpensTheField) {
  Write("Run/FileList.txt",
        "A=x.exe, B=y.dll\r\n"
        "\"Q=a,b.exe\" dropped text, R=r.exe\r\n"
        "  \"P=p, q.exe\"\r\n"
        "S=\"s,t.exe\"\n");  // a line feed alone ends a line too
  Load();
  EXPECT_THAT(Items(), ElementsAre("A=x.exe", "B=y.dll", "Q=a,b.exe", "R=r.exe",
                                   "P=p, q.exe", "S=\"s"));
  EXPECT_THAT(Log(), ElementsAre("About to begin analisys",
                                 "Loading file list:", "- A=x.exe", "- B=y.dll",
                                 "- Q=a,b.exe", "- R=r.exe", "- P=p, q.exe",
                                 "- S=\"s"));
}

TEST_F(AnalysisTest, OnlyFieldsWithAnEqualsSignAndAWantedKeyAreLoaded) {
  Write("Run/FileList.txt",
        "INTERNAL FLAG = EXISTS!\r\n"
        "tds = 01:02:03 04-05-2006\r\n"
        "\r\n"
        "a comment without the sign\r\n"
        "  Internal Flag=x\r\n"
        "TDSX=t.exe\r\n"
        "   \r\n"
        "=nameless.exe\r\n"
        "Last=l.exe");  // no line break after the last entry
  Load();
  EXPECT_THAT(Items(),
              ElementsAre("TDSX=t.exe", "=nameless.exe", "Last=l.exe"));
  EXPECT_THAT(Log(), ElementsAre("About to begin analisys",
                                 "Loading file list:", "- TDSX=t.exe",
                                 "- =nameless.exe", "- Last=l.exe"));
  EXPECT_EQ(yields(), 3);  // one per entry taken, none per field skipped
  EXPECT_EQ(window_.DoingWhat().caption(), "Loading file list...");
  EXPECT_EQ(window_.P1().min(), 1.0F);
}

TEST_F(AnalysisTest, AMissingOrEmptyListLoadsNothingWithReadCountOne) {
  EXPECT_EQ(Load(), 1);
  EXPECT_THAT(Items(), IsEmpty());
  EXPECT_THAT(Log(),
              ElementsAre("About to begin analisys", "Loading file list:"));

  Write("Run/FileList.txt", "");
  EXPECT_EQ(Load(), 1);
  EXPECT_THAT(Items(), IsEmpty());
  EXPECT_EQ(yields(), 0);
}

// The whole pass, as RightAfterLoad's tick runs it, with a tick arriving at
// every yield while the timer is still enabled.
TEST_F(AnalysisTest, TheTickRunsTheStagesInOrderExactlyOnce) {
  Write("Run/FileList.txt", "A = x.exe\r\nB=y.dll\r\n");
  Write("App/x.exe", "");
  Write("Trovane", "A=C:\\App\\X.EXE\r\n");
  int passes_run = 0;
  passes_.analysis = [&](Window& window) {
    ++passes_run;
    AnalysisPass(window).Run();
  };
  harness_.front_end.on_yield = [&](int) { window_.RightAfterLoad().Tick(); };

  window_.RightAfterLoad().Tick();

  EXPECT_EQ(passes_run, 1);
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
  EXPECT_EQ(launcher_.started.size(), 1U);
  EXPECT_TRUE(window_.Wait().enabled());
  EXPECT_FALSE(window_.RightAfterLoad().enabled());
}

}  // namespace
}  // namespace trovane::testing
