// Loading the wanted-entry list: comma-delimited fields, which of them are
// entries, and what the loading logs and yields.
#include <gmock/gmock.h>

#include <string>

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

TEST_F(AnalysisTest,
       AByteOrderMarkIsNoPartOfTheFirstKeyAndOverlongLinesAreSaid) {
  Write("Run/FileList.txt",
        "\xEF\xBB\xBFVek=vek.exe\r\nA=" + std::string(kLongestLine, 'a') +
            ", B=lost.exe\r\nC=c.exe\r\n");
  Load();
  EXPECT_THAT(Items(), ElementsAre("Vek=vek.exe", "C=c.exe"));
  EXPECT_THAT(window_.report().notices(),
              ElementsAre("C:\\Run\\FileList.txt: 1 line longer than 64 "
                          "KiB passed over."));
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

}  // namespace
}  // namespace trovane::testing
