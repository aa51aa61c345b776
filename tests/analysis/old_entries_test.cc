// The old-entry check: the Trovane databank is made sure of and stamped, and
// the wanted entries it still resolves leave FileList.
#include <gmock/gmock.h>

#include "tests/analysis/analysis_fixture.h"

namespace trovane::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

class OldEntriesTest : public AnalysisTest {
 protected:
  // The log after the stage's two opening lines.
  std::vector<std::string> CheckLog() const {
    std::vector<std::string> log = Log();
    const std::vector<std::string> opening = {"Innitializing database",
                                              "Checking old entries:"};
    EXPECT_GE(log.size(), 2U);
    if (log.size() < 2) return log;
    EXPECT_EQ(std::vector<std::string>(log.begin(), log.begin() + 2), opening);
    return std::vector<std::string>(log.begin() + 2, log.end());
  }

  // The five lines logged for each look at a stored location.
  static std::vector<std::string> Look(const std::string& stored,
                                       const std::string& tested,
                                       const std::string& correct, bool ok) {
    return {"", "Filename from database = " + stored,
            "Tested filename = " + tested, "Correct filename = " + correct,
            ok ? "OK = True" : "OK = False"};
  }

  static std::vector<std::string> Join(
      std::initializer_list<std::vector<std::string>> parts) {
    std::vector<std::string> joined;
    for (const auto& part : parts) {
      joined.insert(joined.end(), part.begin(), part.end());
    }
    return joined;
  }
};

TEST_F(OldEntriesTest, TheDatabankIsCreatedOrRestampedWithTheRunsTime) {
  Check();
  EXPECT_THAT(CheckLog(), IsEmpty());
  EXPECT_EQ(harness_.data.Query("C:\\Trovane", "INTERNAL FLAG"), "EXISTS!");
  EXPECT_EQ(harness_.data.Query("C:\\Trovane", "TDS"), "21:24:33 12-08-2026");
  EXPECT_EQ(window_.DoingWhat().caption(), "");
  EXPECT_EQ(window_.Filename().caption(), "");

  Write("Trovane",
        "INTERNAL FLAG=EXISTS!\r\nTDS=01:02:03 04-05-2006\r\nK=C:\\K\r\n");
  Check();
  EXPECT_EQ(harness_.data.Query("C:\\Trovane", "TDS"), "21:24:33 12-08-2026");
  EXPECT_EQ(harness_.data.Query("C:\\Trovane", "K"), "C:\\K");
}

TEST_F(OldEntriesTest, AFileNamedInAnotherCaseEndsTheSearchForItsEntry) {
  Write("App/x.exe", "");
  Write("Trovane", "A=C:\\APP\\X.EXE\r\n");
  Want({"A = x.exe"});
  Check();
  EXPECT_THAT(CheckLog(), ElementsAreArray(Join({
                              Look("C:\\APP\\X.EXE", "x.exe", "x.exe", true),
                              {"Not going to look for it"},
                          })));
  EXPECT_THAT(Items(), IsEmpty());
  EXPECT_EQ(window_.P2().max(), 1.0F);
  EXPECT_EQ(window_.P2().value(), 1.0F);
  EXPECT_EQ(yields(), 1);
}

TEST_F(OldEntriesTest, AFileWithoutTheCorrectNameIsRecheckedAndStays) {
  Write("App/other.exe", "");
  Write("Trovane", "A=C:\\App\\other.exe\r\n");
  Want({"A=x.exe"});
  Check();
  EXPECT_THAT(CheckLog(),
              ElementsAreArray(Join({
                  Look("C:\\App\\other.exe", "other.exe", "x.exe", false),
                  {"Going to recheck", "",
                   "Still have 1 entries to look for:", " - A=x.exe", ""},
              })));
  EXPECT_THAT(Items(), ElementsAre("A=x.exe"));
}

TEST_F(OldEntriesTest, AFolderIsFoundThroughTheMarkerTheCheckLeavesInIt) {
  harness_.files.MakeFolder("Tools");
  Write("Trovane", "T=C:\\Tools\r\n");
  const std::vector<std::string> expected = Join({
      Look("C:\\Tools", "", "tools", false),
      {"Testing if directory"},
      Look("C:\\Tools\\VEKcreate.dir", "VEKcreate.dir", "tools", true),
      {"Not going to look for it"},
  });
  const std::string line =
      "This file and directory was created by VEK Trovane.";

  Want({"T=tools"});
  Check();
  EXPECT_THAT(CheckLog(), ElementsAreArray(expected));
  EXPECT_THAT(Items(), IsEmpty());
  EXPECT_EQ(Read("Tools/VEKcreate.dir"), CrLf({line}));

  Want({"T=tools"});
  Check();
  EXPECT_THAT(Items(), IsEmpty());
  EXPECT_EQ(Read("Tools/VEKcreate.dir"), CrLf({line, line}));
}

TEST_F(OldEntriesTest, ALocationThatNamesNothingIsLookedAtTwiceAndStays) {
  harness_.files.MakeFolder("Gone");
  Write("Trovane", "G=C:\\Gone\\g.exe\r\n");
  Want({"G=g.exe"});
  Check();
  EXPECT_THAT(CheckLog(),
              ElementsAreArray(Join({
                  Look("C:\\Gone\\g.exe", "", "g.exe", false),
                  {"Testing if directory"},
                  Look("C:\\Gone\\g.exe\\VEKcreate.dir", "", "g.exe", false),
                  {"", "Still have 1 entries to look for:", " - G=g.exe", ""},
              })));
  EXPECT_FALSE(Exists("Gone/g.exe"));
  EXPECT_EQ(yields(), 1);
}

TEST_F(OldEntriesTest, EntriesWithoutValueOrHoldingTdsStayUnchecked) {
  Write("App/stds.exe", "");
  Write("Trovane", "Q=C:\\App\\stds.exe\r\nR=\r\n");
  Want({"N=n.exe", "Q=stds.exe", "R=r.exe"});
  Check();
  EXPECT_THAT(CheckLog(),
              ElementsAre("", "Still have 3 entries to look for:", " - N=n.exe",
                          " - Q=stds.exe", " - R=r.exe", ""));
  EXPECT_THAT(Items(), ElementsAre("N=n.exe", "Q=stds.exe", "R=r.exe"));
  EXPECT_EQ(yields(), 2);  // the entry holding tds is passed over
}

TEST_F(OldEntriesTest, EntriesAreVisitedFromLastToFirstAndRemovalsSkipNone) {
  for (const char* name : {"a.exe", "b.exe", "d.exe"}) {
    Write(std::string("App/") + name, "");
  }
  Write("Trovane",
        "A=C:\\App\\a.exe\r\nB=C:\\App\\b.exe\r\nD=C:\\App\\d.exe\r\n");
  Want({"A=a.exe", "B=b.exe", "C=c.exe", "D=d.exe"});
  Check();
  std::vector<std::string> visited;
  for (const std::string& line : CheckLog()) {
    if (line.starts_with("Filename from database")) visited.push_back(line);
  }
  EXPECT_THAT(visited, ElementsAre("Filename from database = C:\\App\\d.exe",
                                   "Filename from database = C:\\App\\b.exe",
                                   "Filename from database = C:\\App\\a.exe"));
  EXPECT_THAT(Items(), ElementsAre("C=c.exe"));
  EXPECT_EQ(window_.P2().max(), 4.0F);
  EXPECT_EQ(window_.P2().value(), 3.0F);
  EXPECT_EQ(yields(), 4);
}

}  // namespace
}  // namespace trovane::testing
