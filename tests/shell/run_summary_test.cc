// What a run says at its end: what the databank holds for the wanted
// entries, and what the scan batch said.
#include "shell/run_summary.h"

#include <gmock/gmock.h>

#include "shell/batch_messages.h"
#include "tests/support/memory_file_system.h"

namespace trovane {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// Eleven entries wanted, as a set-up for two programs lists them; the
// bookkeeping entries a first run adds to FileList.txt come back as items.
RunReport ElevenWanted() {
  RunReport report;
  report.SetWanted({"Main=vek.exe", "Tools=vektools.dll", "Levels=levels.dat",
                    "Sounds=sounds.pak", "Config=VEK\\Config", "Race=race.exe",
                    "Tracks=tracks.dat", "Scores=highscores.dat",
                    "Settings=settings.ini", "Saves=VEK Data\\Saves",
                    "Manual=manual.pdf",
                    "List of files that Must Exist=MustExist.txt",
                    "trovane root content upkeep file=FileList.txt", "=nokey"});
  return report;
}

TEST(RunSummaryTest, CountsWhatTheDatabankHoldsForTheWantedEntries) {
  RunReport report = ElevenWanted();
  report.Found("Config", "C:\\VEK\\CONFIG", true);
  report.Removed("Config", "C:\\VEK\\CONFIG", FolderNeedsDirKind("Config"),
                 true);
  report.Removed("Old", "C:\\OLD.EXE", "no file or folder is there", true);
  report.Found("Tools", "C:\\VEK\\VEKTOOLS.DLL", false);
  const std::vector<std::string> remaining = {
      "Manual=manual.pdf", "trovane root content upkeep file=FileList.txt"};

  const RunSummary summary =
      SummarizeRun(report, RunOutcome::kProblems, remaining, {});
  EXPECT_EQ(summary.status, "8 of 11 wanted entries recorded.");
  EXPECT_THAT(
      summary.lines,
      ElementsAre("Trovane Setup: 8 of 11 wanted entries recorded.",
                  "Not recorded: Tools, found at C:\\VEK\\VEKTOOLS.DLL; "
                  "C:\\Trovane could not be written.",
                  "Removed by the double-check: Config, a folder; add "
                  "Config=DIR to MustExist.txt to keep it.",
                  "Not found: Manual."));
  EXPECT_THAT(summary.details, IsEmpty());
  EXPECT_FALSE(summary.all_well);

  const RunSummary interrupted =
      SummarizeRun(report, RunOutcome::kInterrupted, remaining, {});
  EXPECT_THAT(interrupted.lines,
              ::testing::IsSupersetOf(
                  {"Trovane Setup ended before completion: 10 of 11 wanted "
                   "entries found.",
                   "Still to find: Manual."}));
  EXPECT_FALSE(interrupted.all_well);
}

TEST(RunSummaryTest, SaysWhatCouldNotBeWrittenAndWhatElseHappened) {
  RunReport report;
  report.SetWanted({"A=a.exe"});
  report.Removed("Lost", "C:\\LOST.EXE", "no file or folder is there", false);
  report.NotWritten("C:\\Trovane",
                    "Trovane root content upkeep file=C:\\Run\\FileList.txt");
  report.Notice("Map.txt line D:\\*: drive D is not mapped.");
  const RunSummary summary = SummarizeRun(report, RunOutcome::kProblems, {},
                                          {"The scan batch said (X):"});
  EXPECT_THAT(summary.lines,
              ElementsAre("Trovane Setup: 1 of 1 wanted entries recorded.",
                          "Not removed: Lost, no file or folder is there; "
                          "C:\\Trovane could not be written.",
                          "Not written to C:\\Trovane: Trovane root content "
                          "upkeep file=C:\\Run\\FileList.txt."));
  EXPECT_THAT(summary.details,
              ElementsAre("Map.txt line D:\\*: drive D is not mapped.",
                          "The scan batch said (X):"));
  EXPECT_TRUE(report.AnythingNotWritten());
  EXPECT_FALSE(report.EveryRemovalDone());
}

TEST(RunSummaryTest, TellsAMissingListAndOtherwiseSaysItAllInOneLine) {
  RunReport missing;
  missing.WantedListUnread("C:\\Run\\FileList.txt does not exist");
  const RunSummary nothing = SummarizeRun(missing, RunOutcome::kClean, {}, {});
  EXPECT_THAT(nothing.lines,
              ElementsAre("Trovane Setup: nothing to look for: "
                          "C:\\Run\\FileList.txt does not exist."));
  EXPECT_FALSE(nothing.all_well);

  RunReport found;
  found.SetWanted({"A=a.exe", "B=b.exe"});
  found.Found("A", "C:\\A.EXE", true);
  const RunSummary clean = SummarizeRun(found, RunOutcome::kClean, {}, {});
  EXPECT_THAT(clean.lines,
              ElementsAre("Trovane Setup: 2 of 2 wanted entries recorded."));
  EXPECT_TRUE(clean.all_well);
}

TEST(BatchMessagesTest, ShowsTheFirstLinesSafelyAndCountsTheRest) {
  testing::MemoryFileSystem files;
  files.MakeFolder("C:\\Run");
  std::string said = "Could Not Find C:\\Temp\\Signal.txt\r\n";
  said += "File Not Found\r\nA name with \x1b[2J in it\r\n";
  for (int i = 0; i < 10; ++i) said += "File Not Found\r\n";
  files.Write("C:\\Run\\Map.err", said);

  const std::vector<std::string> shown = ReadBatchMessages(
      files, "C:\\Run\\Map.err", "Could Not Find C:\\Temp\\Signal.txt");
  ASSERT_EQ(shown.size(), kShownBatchMessages + 2);
  EXPECT_EQ(shown.front(), "The scan batch said (C:\\Run\\Map.err):");
  EXPECT_EQ(shown[1], "  File Not Found");
  EXPECT_EQ(shown[2], "  A name with ?[2J in it");
  EXPECT_EQ(shown.back(), "  ... and 2 more lines.");

  // Only the routine line, or no file at all: nothing to say.
  files.Write("C:\\Run\\Map.err", "Could Not Find C:\\Temp\\Signal.txt\r\n");
  EXPECT_THAT(ReadBatchMessages(files, "C:\\Run\\Map.err",
                                "Could Not Find C:\\Temp\\Signal.txt"),
              IsEmpty());
  EXPECT_THAT(ReadBatchMessages(files, "C:\\Run\\None.err", ""), IsEmpty());
}

}  // namespace
}  // namespace trovane
