// What a whole run tells the user at its end: on a real terminal, where the
// summary must be the last thing on the screen, and in quiet runs, where
// standard output and standard error are all there is.
#include <gmock/gmock.h>
#include <unistd.h>

#include <sstream>
#include <string>
#include <vector>

#include "tests/e2e/program_run.h"
#include "tests/e2e/terminal.h"

namespace trovane::testing {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::StartsWith;

constexpr char kRunFolder[] = "prefix/drive_c/VEK Setup";

// A new user's set-up: a Wine prefix with two VEK programs and their data
// folders, and a run folder whose FileList.txt wants eleven entries, two of
// them folders, one of which MustExist.txt declares.
void VekSetUp(ProgramRun& run) {
  Sandbox& sandbox = run.sandbox;
  sandbox.MakeFolder("prefix/dosdevices");
  ASSERT_EQ(symlink("../drive_c", sandbox.Path("prefix/dosdevices/c:").c_str()),
            0);
  for (const char* file :
       {"Program Files/VEK/Bin/Vek.exe", "Program Files/VEK/Bin/VekTools.DLL",
        "Program Files/VEK/Data/Levels.dat",
        "Program Files/VEK/Data/Sounds.pak", "Program Files/VEK Race/Race.exe",
        "Program Files/VEK Race/Tracks.dat",
        "users/Public/VEK Data/HighScores.dat",
        "users/Public/VEK Data/Settings.INI"}) {
    sandbox.Write(std::string("prefix/drive_c/") + file, "MZ");
  }
  sandbox.MakeFolder("prefix/drive_c/Program Files/VEK/Config");
  sandbox.MakeFolder("prefix/drive_c/users/Public/VEK Data/Saves");
  sandbox.Write(std::string(kRunFolder) + "/FileList.txt",
                "Main=vek.exe\r\nTools=vektools.dll\r\nLevels=levels.dat\r\n"
                "Sounds=sounds.pak\r\nConfig=VEK\\Config\r\nRace=race.exe\r\n"
                "Tracks=tracks.dat\r\nScores=highscores.dat\r\n"
                "Settings=settings.ini\r\nSaves=VEK Data\\Saves\r\n"
                "Manual=manual.pdf\r\n");
  sandbox.Write(std::string(kRunFolder) + "/MustExist.txt", "Saves=DIR\r\n");
  run.environment.erase("VEK_DRIVE_C");
  run.environment["WINEPREFIX"] = sandbox.Path("prefix");
  run.command.push_back("C:\\VEK Setup");
}

// The last `count` rows of `screen`.
std::vector<std::string> Last(const std::vector<std::string>& screen,
                              size_t count) {
  if (screen.size() < count) return screen;
  return {screen.end() - static_cast<std::ptrdiff_t>(count), screen.end()};
}

std::vector<std::string> Lines(const std::string& text) {
  std::istringstream stream(text);
  std::vector<std::string> lines;
  for (std::string line; std::getline(stream, line);) lines.push_back(line);
  return lines;
}

TEST(ReportTest, TheTerminalEndsWithWhatWasRecordedRemovedAndWhatToChange) {
  ProgramRun run;
  VekSetUp(run);
  run.environment["TROVANE_UI"] = "terminal";
  // Wide enough for every line to keep a row of its own.
  constexpr int kColumns = 160;
  {
    Terminal terminal(run.sandbox, kColumns, 40);
    terminal.Start(run.command, run.environment, run.sandbox.Path("Run"));
    EXPECT_EQ(terminal.WaitForEnd(), 1);
    const std::vector<std::string> screen = terminal.Screen();
    EXPECT_THAT(screen, Contains("Config (C:\\PROGRAM FILES\\VEK\\CONFIG) "
                                 "removed: a folder; add Config=DIR to "
                                 "MustExist.txt to keep it."));
    EXPECT_THAT(screen, Contains("Saves (C:\\USERS\\PUBLIC\\VEK DATA\\SAVES) "
                                 "repaired: its marker VEKcreate.dir was made, "
                                 "as MustExist.txt says DIR."));
    EXPECT_THAT(
        Last(screen, 7),
        ElementsAre("DONE!", "  Exitting...", StartsWith("P1 [####"),
                    StartsWith("P2 [####"),
                    "Trovane Setup: 9 of 11 wanted entries recorded.",
                    "Removed by the double-check: Config, a folder; add "
                    "Config=DIR to MustExist.txt to keep it.",
                    "Not found: Manual."));
  }

  // The user does as told; the run ends without the message, and the
  // summary still stays under the last status.
  run.sandbox.Write(std::string(kRunFolder) + "/MustExist.txt",
                    "Saves=DIR\r\nConfig=DIR\r\n");
  Terminal terminal(run.sandbox, kColumns, 40);
  terminal.Start(run.command, run.environment, run.sandbox.Path("Run"));
  EXPECT_EQ(terminal.WaitForEnd(), 0);
  EXPECT_THAT(terminal.Screen(),
              ElementsAre("DONE!", "  Exitting...", StartsWith("P1 [####"),
                          StartsWith("P2 [####"),
                          "Trovane Setup: 10 of 11 wanted entries recorded.",
                          "Not found: Manual."));
}

TEST(ReportTest, AMissingWantedListIsSaidAndTheDatabankStillTended) {
  ProgramRun run;
  EXPECT_EQ(run.Run(), 0);
  EXPECT_EQ(run.Output(),
            "Trovane Setup: nothing to look for: C:\\Run\\FileList.txt does "
            "not exist.\n");
  EXPECT_THAT(CrLfLines(run.sandbox.Read("Trovane")),
              Contains("INTERNAL FLAG = EXISTS!"));
  EXPECT_THAT(run.ActivityLog(), Contains("Doubble-checking:"));
}

TEST(ReportTest, FolderListLinesThatListNothingAreSaidWithTheBatchsOwnWords) {
  ProgramRun run;
  run.sandbox.Write("Apps/A.EXE", "MZ");
  run.sandbox.Write("Run/FileList.txt", "A=a.exe\r\nB=b.exe\r\n");
  run.sandbox.Write("Run/MustExist.txt", "");
  run.sandbox.Write("Run/Map.txt",
                    "C:\\Apps\\*\r\nC:\\Gone\\*\r\nD:\\Games\\*\r\n");
  EXPECT_EQ(run.Run(), 0);
  EXPECT_EQ(run.Output(),
            "Trovane Setup: 1 of 2 wanted entries recorded.\nNot found: B.\n");
  EXPECT_EQ(run.ErrorOutput(),
            "Map.txt line C:\\Gone\\*: the folder C:\\Gone does not exist, so "
            "nothing was listed there.\n"
            "Map.txt line D:\\Games\\*: drive D is not mapped, so nothing was "
            "listed there.\n"
            "The scan batch said (C:\\Run\\Map.err):\n"
            "  File Not Found\n"
            "  File Not Found\n");
}

TEST(ReportTest, ADatabankThatCannotBeWrittenIsSaidAndEndsWithStatusOne) {
  ProgramRun run;
  run.sandbox.MakeFolder("Trovane");
  run.sandbox.Write("Apps/A.EXE", "MZ");
  run.sandbox.Write("Run/FileList.txt", "A=a.exe\r\nB=b.exe\r\n");
  run.sandbox.Write("Run/MustExist.txt", "");
  EXPECT_EQ(run.Run(), 1);
  EXPECT_THAT(
      Lines(run.Output()),
      ElementsAre(
          "Trovane Setup: 0 of 2 wanted entries recorded.",
          "Not recorded: A, found at C:\\APPS\\A.EXE; C:\\Trovane could "
          "not be written.",
          "Not found: B.", StartsWith("Not written to C:\\Trovane: TDS="),
          "Not written to C:\\Trovane: List of files that Must "
          "Exist=C:\\Run\\MustExist.txt.",
          "Not written to C:\\Trovane: Trovane root content upkeep "
          "file=C:\\Run\\FileList.txt."));
}

}  // namespace
}  // namespace trovane::testing
