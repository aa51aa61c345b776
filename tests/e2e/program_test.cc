// Whole runs of the program, copied into a sandbox that is drive C.
#include <gmock/gmock.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "tests/e2e/program_run.h"

namespace trovane::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsSupersetOf;
using ::testing::Not;

constexpr char kProblems[] =
    "Problems encountered...\nOn double-check illegal entries have been "
    "found. There are no illegal entries in the database at the moment, but "
    "to make sure your VEK programs will run appropriately, you should run "
    "Trovane again.\n";

// Every path in the sandbox with its size, but the captured standard
// streams: what a run that must write nothing leaves as it found.
std::set<std::string> Contents(const Sandbox& sandbox) {
  std::set<std::string> contents;
  for (const auto& entry :
       std::filesystem::recursive_directory_iterator(sandbox.root())) {
    const std::string path = entry.path().string();
    if (path == sandbox.Path("stderr.txt") ||
        path == sandbox.Path("stdout.txt")) {
      continue;
    }
    contents.insert(path + " " +
                    (entry.is_regular_file() ? std::to_string(entry.file_size())
                                             : std::string("folder")));
  }
  return contents;
}

std::vector<std::string> LastTwo(const std::vector<std::string>& lines) {
  if (lines.size() < 2) return lines;
  return {lines.end() - 2, lines.end()};
}

TEST(ProgramTest, AnEmptyRunStartsAndEndsItsLogsInOrder) {
  ProgramRun run;
  EXPECT_EQ(run.Run(), 0);
  const std::vector<std::string> log = run.ActivityLog();
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.front(), "Cleanup");
  EXPECT_THAT(LastTwo(log), ElementsAre("About to exit", "Cleanup"));
  // No wanted entry: no batch, and the wait ended on the empty list.
  EXPECT_FALSE(run.sandbox.Exists("Run/Map.bat"));
  EXPECT_THAT(log, Not(::testing::Contains("Building file find batch...")));
  EXPECT_EQ(run.ErrorOutput(), "");

  // The second run checks the first run's bookkeeping entries, one of
  // which names the must-exist list.
  run.sandbox.Write("Run/MustExist.txt", "");
  const std::string first_io_log = run.sandbox.Read("Run/Database_IO.log");
  EXPECT_EQ(run.Run(), 0);
  EXPECT_EQ(run.sandbox.Read("Run/Database_IO.log.x"), first_io_log);
  EXPECT_EQ(run.ActivityLog().front(), "Cleanup");
}

TEST(ProgramTest, SigtermEndsAWaitingRunWithItsTwoLastLines) {
  ProgramRun run(ProgramRun::Interpreter::kNeverEnding);
  run.sandbox.Write("Run/FileList.txt", "A=nowhere.exe\r\n");
  run.Start();
  ASSERT_TRUE(run.WaitForLog("Executing batch"));
  EXPECT_EQ(run.Stop(SIGTERM), 2);
  EXPECT_THAT(LastTwo(run.ActivityLog()),
              ElementsAre("About to exit", "Cleanup"));
}

TEST(ProgramTest, ABatchThatEndsWithoutItsSignalEndsTheRun) {
  ProgramRun run(ProgramRun::Interpreter::kEndingAtOnce);
  run.sandbox.Write("Run/FileList.txt", "A=nowhere.exe\r\n");
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(run.Run(), 2);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  EXPECT_THAT(run.ErrorOutput(),
              HasSubstr("The scan batch ended without writing its completion "
                        "signal"));
  EXPECT_THAT(LastTwo(run.ActivityLog()),
              ElementsAre("About to exit", "Cleanup"));
  EXPECT_EQ(run.Output(),
            "Trovane Setup ended before completion: 0 of 1 wanted entries "
            "found.\nStill to find: A.\n");
}

TEST(ProgramTest, EntriesTheDatabankResolvesNeedNoBatch) {
  ProgramRun run;
  run.sandbox.Write("Vek/Run.EXE", "MZ");
  run.sandbox.Write("Trovane", "Main=C:\\VEK\\RUN.EXE\r\n");
  run.sandbox.Write("Run/FileList.txt", "Main=run.exe\r\n");
  run.sandbox.Write("Run/MustExist.txt", "");
  EXPECT_EQ(run.Run(), 0);
  const std::vector<std::string> log = run.ActivityLog();
  EXPECT_THAT(
      log, IsSupersetOf({"Not going to look for it", "About to begin search"}));
  EXPECT_THAT(log, Not(::testing::Contains("Building file find batch...")));
  EXPECT_FALSE(run.sandbox.Exists("Run/Map.bat"));
  EXPECT_FALSE(run.sandbox.Exists("Run/Map.txt"));
  EXPECT_FALSE(run.sandbox.Exists("Temp/Trovane.txt"));
}

TEST(ProgramTest, TheScanBatchListsTheDiskAndTheSearchRecordsWhatItFound) {
  ProgramRun run;
  run.sandbox.Write("Apps/X/AB.EXE", "MZ");
  run.sandbox.Write("Apps/Y/ab.exe", "MZ");
  run.sandbox.Write("Run/FileList.txt",
                    "A=b.exe\r\nTwin=B.EXE\r\nGone=nowhere.dll");
  run.sandbox.Write("Run/MustExist.txt", "");
  EXPECT_EQ(run.Run(), 0);

  // The default folder list, the batch, the signal and the disk map.
  EXPECT_EQ(run.sandbox.Read("Run/Map.txt"), "C:\\*\r\n\r\n");
  EXPECT_THAT(CrLfLines(run.sandbox.Read("Run/Map.bat")),
              IsSupersetOf({"Dir C:\\* /s /b > C:\\Temp\\Trovane.txt",
                            "Echo OK! > C:\\Temp\\Signal.txt"}));
  EXPECT_EQ(run.sandbox.Read("Temp/Signal.txt"), "OK! \r\n");
  // The batch's Del always finds the signal file, which the wait makes
  // before the batch starts: it says nothing, whichever runs first.
  EXPECT_EQ(run.sandbox.Read("Run/Map.err"), "");
  EXPECT_THAT(CrLfLines(run.sandbox.Read("Temp/Trovane.txt")),
              IsSupersetOf({"C:\\Apps\\X\\AB.EXE", "C:\\Apps\\Y\\ab.exe"}));

  // Both entries with the one value take the first path; the one never
  // found is not recorded. The stored paths are upper-case.
  const std::vector<std::string> databank =
      CrLfLines(run.sandbox.Read("Trovane"));
  EXPECT_THAT(databank, IsSupersetOf({"A=C:\\APPS\\X\\AB.EXE",
                                      "Twin=C:\\APPS\\X\\AB.EXE"}));
  EXPECT_THAT(run.sandbox.Read("Trovane"), Not(HasSubstr("Gone")));
  const std::vector<std::string> log = run.ActivityLog();
  const auto executing = std::find(log.begin(), log.end(), "Executing batch");
  const auto searching =
      std::find(log.begin(), log.end(), "About to begin search");
  EXPECT_LT(executing, searching);
  EXPECT_EQ(
      run.Output(),
      "Trovane Setup: 2 of 3 wanted entries recorded.\nNot found: Gone.\n");

  // A second run finds them again through the upper-cased stored paths.
  EXPECT_EQ(run.Run(), 0);
  const std::vector<std::string> second = run.ActivityLog();
  EXPECT_EQ(
      std::count(second.begin(), second.end(), "Not going to look for it"), 2);
  EXPECT_THAT(second, ::testing::Contains("Still have 1 entries to look for:"));
}

TEST(ProgramTest, DoubleCheckRepairsByKindAndRemovesWhatItCannot) {
  ProgramRun run;
  run.sandbox.MakeFolder("Vek");
  run.sandbox.Write("Trovane",
                    "INTERNAL FLAG = EXISTS!\r\n"
                    "TDS = 01:02:03 01-02-2026\r\n"
                    "Bank=C:\\VEK\\PREFS.DSP\r\n"
                    "Plain=C:\\VEK\\BLANK.CFP\r\n"
                    "MyInterfaceFile=C:\\VEK\\FACE.CFG\r\n"
                    "Logs=C:\\VEK\\LOGS\r\n"
                    "Lost1=C:\\GONE\\ONE.TXT\r\n"
                    "Lost2=C:\\GONE\\TWO.TXT\r\n"
                    "NoRoom=C:\\MISSING\\FOLDER\\X.CFP\r\n");
  run.sandbox.Write("Run/FileList.txt", "");
  run.sandbox.Write("Run/MustExist.txt",
                    "Bank=DSP\r\nPlain=cfp\r\nLogs=DIR\r\nNoRoom=CFP\r\n");
  EXPECT_EQ(run.Run(), 1);
  // Every entry repaired or removed is named after the message, with why.
  EXPECT_EQ(
      run.ErrorOutput(),
      std::string(kProblems) +
          "Bank (C:\\VEK\\PREFS.DSP) repaired: a new databank was made "
          "there, as MustExist.txt says DSP.\n"
          "Plain (C:\\VEK\\BLANK.CFP) repaired: a blank CFP file was made "
          "there, as MustExist.txt says CFP.\n"
          "MyInterfaceFile (C:\\VEK\\FACE.CFG) repaired: a blank CFP file "
          "was made there, as MustExist.txt says CFP.\n"
          "Logs (C:\\VEK\\LOGS) repaired: its marker VEKcreate.dir was "
          "made, as MustExist.txt says DIR.\n"
          "Lost1 (C:\\GONE\\ONE.TXT) removed: no file or folder is "
          "there.\n"
          "Lost2 (C:\\GONE\\TWO.TXT) removed: no file or folder is "
          "there.\n"
          "NoRoom (C:\\MISSING\\FOLDER\\X.CFP) removed: the CFP file could "
          "not be made there.\n");
  EXPECT_EQ(run.Output(),
            "Trovane Setup: FileList.txt holds no wanted entries.\n");

  EXPECT_THAT(
      CrLfLines(run.sandbox.Read("Vek/PREFS.DSP")),
      ElementsAre("INTERNAL FLAG = EXISTS!", ::testing::StartsWith("TDS = ")));
  EXPECT_EQ(run.sandbox.Read("Vek/BLANK.CFP"), "--- Blank entry\r\n\r\n");
  EXPECT_EQ(run.sandbox.Read("Vek/FACE.CFG"), "--- Blank entry\r\n\r\n");
  EXPECT_EQ(
      run.sandbox.Read("Vek/LOGS/VEKcreate.dir"),
      "This file was created by VEK Trovane, please do not delete it\r\n");
  EXPECT_THAT(CrLfLines(run.sandbox.Read("Run/MustExist.txt")),
              ::testing::Contains("MyInterfaceFile=CFP"));
  EXPECT_THAT(CrLfLines(run.sandbox.Read("Run/FileList.txt")),
              IsSupersetOf({"Bank=PREFS.DSP", "Plain=BLANK.CFP",
                            "MyInterfaceFile=FACE.CFG", "Logs=LOGS",
                            "Lost1=ONE.TXT", "Lost2=TWO.TXT"}));

  const std::string databank = run.sandbox.Read("Trovane");
  EXPECT_THAT(databank, HasSubstr("Bank=C:\\VEK\\PREFS.DSP"));
  EXPECT_THAT(databank, HasSubstr("Logs=C:\\VEK\\LOGS"));
  EXPECT_THAT(databank, Not(HasSubstr("Lost1")));
  EXPECT_THAT(databank, Not(HasSubstr("Lost2")));
  EXPECT_THAT(databank, Not(HasSubstr("NoRoom")));
  const std::vector<std::string> log = run.ActivityLog();
  EXPECT_EQ(std::count(log.begin(), log.end(), "Line removed"), 2);
  EXPECT_EQ(std::count(log.begin(), log.end(), "Failed; line removed"), 1);
  EXPECT_THAT(log, IsSupersetOf({"Attempting to create databank",
                                 "Attempting to create CFP file",
                                 "Attempting to create directory"}));
}

TEST(ProgramTest, ARunWithNothingRemovedShowsNoMessage) {
  ProgramRun run;
  run.sandbox.Write("Run/FileList.txt", "");
  run.sandbox.Write("Run/MustExist.txt", "");
  EXPECT_EQ(run.Run(), 0);
  // The bookkeeping entries of the first run are checked on the second.
  EXPECT_EQ(run.Run(), 0);
  EXPECT_EQ(run.ErrorOutput(), "");
  EXPECT_THAT(
      CrLfLines(run.sandbox.Read("Trovane")),
      IsSupersetOf({"List of files that Must Exist=C:\\Run\\MustExist.txt",
                    "Trovane root content upkeep file=C:\\Run\\FileList.txt"}));
}

TEST(ProgramTest, ARunThatCannotStartSaysWhyAndWritesNothing) {
  struct Case {
    std::string what;
    std::function<void(ProgramRun&)> set_up;
    std::vector<std::string> messages;
  };
  const Case cases[] = {
      {"unknown option",
       [](ProgramRun& run) { run.command.push_back("-x"); },
       {"trovane-setup: unknown option -x\nUsage: trovane-setup [FOLDER]\n",
        "--help"}},
      {"second argument",
       [](ProgramRun& run) {
         run.command.insert(run.command.end(), {"C:\\Run", "C:\\Temp"});
       },
       {"one argument at most", "Usage: trovane-setup [FOLDER]"}},
      {"bad drive variable",
       [](ProgramRun& run) { run.environment["VEK_DRIVE_D"] = "relative"; },
       {"VEK_DRIVE_D is \"relative\""}},
      {"drive C unmapped",
       [](ProgramRun& run) { run.environment.erase("VEK_DRIVE_C"); },
       {"drive C is not mapped", "VEK_DRIVE_C", "WINEPREFIX"}},
      {"run folder missing",
       [](ProgramRun& run) { run.command.push_back("C:\\Gone"); },
       {"the run folder C:\\Gone does not exist"}},
      {"line break in the temporary folder",
       [](ProgramRun& run) {
         run.sandbox.MakeFolder("Temp\nDir");
         run.environment["TEMP"] = run.sandbox.Path("Temp\nDir");
       },
       {"the temporary folder from TEMP holds a line break"}},
      {"temporary folder missing",
       [](ProgramRun& run) {
         run.environment["VEK"] = run.sandbox.Path("Gone");
       },
       {"from VEK does not exist: set VEK"}},
      {"no interpreter",
       [](ProgramRun& run) {
         std::filesystem::remove(run.sandbox.Path("Run/trovane-cmd"));
       },
       {"trovane-cmd, which runs the scan batch, is neither in"}},
      {"installed copy without FOLDER",
       [](ProgramRun& run) {
         run.sandbox.MakeFolder("bin");
         std::filesystem::copy_file(run.sandbox.Path("Run/trovane-setup"),
                                    run.sandbox.Path("bin/trovane-setup"));
         std::filesystem::copy_file(run.sandbox.Path("Run/trovane-cmd"),
                                    run.sandbox.Path("bin/trovane-cmd"));
         chmod(run.sandbox.Path("bin").c_str(), 0555);
         run.command = {run.sandbox.Path("bin/trovane-setup")};
         // Root may write in any folder; the run drops that power, to be
         // the user an installed program's folder keeps out.
         if (geteuid() == 0) {
           run.command.insert(run.command.begin(),
                              {"/usr/bin/setpriv", "--bounding-set=-all"});
         }
       },
       {"trovane-setup's own folder /",
        "/bin cannot hold the run's files; give the run folder as an argument: "
        "trovane-setup FOLDER\n"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ProgramRun run;
    run.sandbox.Write("Run/FileList.txt", "A=b.exe\r\n");
    c.set_up(run);
    const std::set<std::string> before = Contents(run.sandbox);
    EXPECT_EQ(run.Run(), 3);
    for (const std::string& message : c.messages) {
      EXPECT_THAT(run.ErrorOutput(), HasSubstr(message));
    }
    EXPECT_EQ(Contents(run.sandbox), before);
  }
}

// Drive C is where the Wine prefix's dosdevices say, and the run folder,
// given in drive form, lies on it.
TEST(ProgramTest, AWinePrefixMapsTheDrivesTheRunFindsItsEntriesOn) {
  ProgramRun run;
  Sandbox& sandbox = run.sandbox;
  sandbox.MakeFolder("prefix/dosdevices");
  ASSERT_EQ(symlink("../drive_c", sandbox.Path("prefix/dosdevices/c:").c_str()),
            0);
  sandbox.Write("prefix/drive_c/Apps/AB.EXE", "MZ");
  sandbox.Write("prefix/drive_c/Vek Setup/FileList.txt", "A=b.exe\r\n");
  sandbox.Write("prefix/drive_c/Vek Setup/MustExist.txt", "");
  run.environment.erase("VEK_DRIVE_C");
  run.environment["WINEPREFIX"] = sandbox.Path("prefix");
  run.command.push_back("C:\\Vek Setup");

  EXPECT_EQ(run.Run(), 0);
  EXPECT_EQ(run.ErrorOutput(), "");
  EXPECT_THAT(CrLfLines(sandbox.Read("prefix/drive_c/Trovane")),
              ::testing::Contains("A=C:\\APPS\\AB.EXE"));
  EXPECT_THAT(LogMessages(sandbox.Read("prefix/drive_c/Vek Setup/Trovane.Log")),
              ::testing::Contains("Executing batch"));
  EXPECT_FALSE(sandbox.Exists("Run/Trovane.Log"));
}

}  // namespace
}  // namespace trovane::testing
