// Running batch lines on a disk in memory: Echo, Del, Cd, redirections and
// lines of other shapes.
#include "trovane-cmd/interpreter.h"

#include <gtest/gtest.h>

#include "tests/trovane-cmd/interpreter_fixture.h"

namespace trovane::testing {
namespace {

TEST_F(InterpreterTest, EchoWritesItsTextAndALineEnd) {
  Run({"@Echo off", "Echo Hello & goodbye | 100% ^ <world, ok",
       "echo  two blanks ", "Echo"});
  EXPECT_EQ(Out(),
            "Hello & goodbye | 100% ^ <world, ok\r\n two blanks \r\n\r\n");
  EXPECT_EQ(Err(), "");
}

TEST_F(InterpreterTest, EchoIntoAFileKeepsTheBlankBeforeTheRedirection) {
  AddFolder("tmp");
  Run({"Echo OK! > C:\\tmp\\Signal.txt"});
  EXPECT_EQ(disk_.Read("tmp/Signal.txt"), "OK! \r\n");
  EXPECT_EQ(Out(), "");
}

TEST_F(InterpreterTest, ReplacingEmptiesTheFileAndAppendingAddsToIt) {
  AddFile("log.txt", "old\r\n");
  Run({"Echo first > C:\\LOG.TXT", "Echo second >> C:\\log.txt",
       "Echo third>>C:\\new.txt"});
  EXPECT_EQ(disk_.Read("log.txt"), "first \r\nsecond \r\n");
  EXPECT_EQ(disk_.Read("new.txt"), "third\r\n");
}

TEST_F(InterpreterTest, NothingInALineRunsAnotherCommand) {
  AddFile("victim.txt", "keep");
  Run({"Echo x & Del C:\\victim.txt | Del C:\\victim.txt",
       "Echo %WINDIR% $(rm -rf C:\\) `id` > C:\\out.txt"});
  EXPECT_EQ(disk_.Read("victim.txt"), "keep");
  EXPECT_EQ(Out(), "x & Del C:\\victim.txt | Del C:\\victim.txt\r\n");
  EXPECT_EQ(disk_.Read("out.txt"), "%WINDIR% $(rm -rf C:\\) `id` \r\n");
}

TEST_F(InterpreterTest, ALinkPlantedAtARedirectionTargetIsRemovedNotFollowed) {
  disk_.MapDrive('D');  // not a drive the batch names
  disk_.Write("D:\\precious.txt", "keep");
  AddFile("T/a");
  AddFolder("Temp");
  disk_.PlantLink("C:\\Temp\\Trovane.txt", "D:\\precious.txt");
  disk_.PlantLink("C:\\Temp\\Signal.txt", "D:\\nowhere.txt");
  Run({"Dir C:\\T /s /b > C:\\Temp\\Trovane.txt",
       "Echo OK! >> C:\\Temp\\Signal.txt"});
  EXPECT_EQ(disk_.Read("D:\\precious.txt"), "keep");
  EXPECT_FALSE(disk_.Exists("D:\\nowhere.txt"));
  for (const char* target : {"C:\\Temp\\Trovane.txt", "C:\\Temp\\Signal.txt"}) {
    EXPECT_EQ(disk_.LinkTarget(target), target) << "still a link";
  }
  EXPECT_EQ(disk_.Read("Temp/Trovane.txt"), "C:\\T\\a\r\n");
  EXPECT_EQ(disk_.Read("Temp/Signal.txt"), "OK! \r\n");
  EXPECT_EQ(Err(), "");
}

TEST_F(InterpreterTest, ATargetThatCannotBeOpenedIsReportedAndNotWritten) {
  AddFolder("Folder");
  Run({"Echo x > C:\\Missing\\out.txt", "Dir C:\\ /s /b >> C:\\Folder",
       "Echo x > Q:\\unmapped.txt", "Echo next"});
  EXPECT_EQ(Err(),
            "Cannot write to C:\\Missing\\out.txt\n"
            "Cannot write to C:\\Folder\n"
            "Cannot write to Q:\\unmapped.txt\n");
  EXPECT_EQ(Out(), "next\r\n");
}

TEST_F(InterpreterTest, DelRemovesTheFileWhateverTheCaseWritten) {
  AddFile("tmp/Signal.txt", "OK! \r\n");
  Run({"Del C:\\TMP\\SIGNAL.TXT"});
  EXPECT_FALSE(disk_.Exists("tmp/Signal.txt"));
  EXPECT_EQ(Err(), "");
}

TEST_F(InterpreterTest, DelRemovesALinkNotWhatItLeadsTo) {
  AddFile("file.txt", "keep");
  disk_.PlantLink("C:\\to file", "C:\\file.txt");
  disk_.PlantLink("C:\\dangling", "C:\\nowhere");
  Run({"Del C:\\to file", "Del C:\\dangling"});
  EXPECT_FALSE(disk_.Exists("to file"));
  EXPECT_FALSE(disk_.Exists("dangling"));
  EXPECT_EQ(disk_.Read("file.txt"), "keep");
  EXPECT_EQ(Err(), "");
}

TEST_F(InterpreterTest, DelOfAMissingFileSaysSoAndTheBatchGoesOn) {
  AddFile("file.txt");
  Run({"Del C:\\tmp\\Signal.txt", "Del Q:\\x.txt", "Del C:\\file.txt\\x",
       "Echo after"});
  EXPECT_EQ(Err(),
            "Could Not Find C:\\tmp\\Signal.txt\n"
            "Could Not Find Q:\\x.txt\n"
            "Could Not Find C:\\file.txt\\x\n");
  EXPECT_EQ(Out(), "after\r\n");
}

TEST_F(InterpreterTest, DelOfWhatCannotBeRemovedSaysSo) {
  AddFile("Folder/inside");
  AddFile("Held.txt");
  files_.Fail(FailingFileSystem::Operation::kDelete, "Held");
  Run({"Del C:\\Folder", "Del C:\\Held.txt"});
  EXPECT_TRUE(disk_.Exists("Folder/inside"));
  EXPECT_TRUE(disk_.Exists("Held.txt"));
  EXPECT_EQ(Err(),
            "Could Not Delete C:\\Folder\n"
            "Could Not Delete C:\\Held.txt\n");
}

TEST_F(InterpreterTest, CdChangesTheFolderRelativePathsAreTakenFrom) {
  AddFolder("Program Files & more/Sub");
  Run({"Cd C:\\program files & more", "Echo here > here.txt", "Cd Sub",
       "Echo deeper > deeper.txt", "Cd..", "Cd .\\Sub\\..\\..",
       "Echo top > top.txt"});
  EXPECT_EQ(disk_.Read("Program Files & more/here.txt"), "here \r\n");
  EXPECT_EQ(disk_.Read("Program Files & more/Sub/deeper.txt"), "deeper \r\n");
  EXPECT_EQ(disk_.Read("top.txt"), "top \r\n");
  EXPECT_EQ(Err(), "");
}

TEST_F(InterpreterTest, TheCurrentFolderIsKeptWithoutDotNamesOrRepeats) {
  AddFolder("A/B");
  AddFolder("B");
  Run({"Cd C:\\A\\.\\\\B\\"});
  EXPECT_EQ(interpreter_->current_folder(), "C:\\A\\B");
  Run({"Cd ..\\B\\..\\..\\..\\..\\A"});
  EXPECT_EQ(interpreter_->current_folder(), "C:\\A");
  // There is no current folder of each drive: "C:B" is taken from the root.
  Run({"Cd C:B"});
  EXPECT_EQ(interpreter_->current_folder(), "C:\\B");
  EXPECT_EQ(Err(), "");
}

TEST_F(InterpreterTest, CdBackslashAndDotDotStopAtTheRootOfTheDrive) {
  disk_.MapDrive('D');
  disk_.MakeFolder("D:\\X");
  AddFolder("A/B");
  Run({"Cd C:\\A\\B", "Cd\\"});
  EXPECT_EQ(interpreter_->current_folder(), "C:\\");
  Run({"Cd C:\\A", "Cd ..\\..\\..\\.."});
  EXPECT_EQ(interpreter_->current_folder(), "C:\\");
  // One current folder for every drive: Cd\ stays on the drive it is on.
  Run({"Cd D:\\X", "Cd\\"});
  EXPECT_EQ(interpreter_->current_folder(), "D:\\");
  EXPECT_EQ(Err(), "");
}

TEST_F(InterpreterTest, CdToAMissingFolderKeepsTheCurrentOne) {
  AddFile("file.txt");
  Run({"Cd C:\\Missing", "Cd C:\\file.txt"});
  EXPECT_EQ(interpreter_->current_folder(), "C:\\");
  EXPECT_EQ(Err(),
            "Cannot find the folder C:\\Missing\n"
            "Cannot find the folder C:\\file.txt\n");
}

TEST_F(InterpreterTest, AnUnknownLineGetsOneMessageAndTheBatchGoesOn) {
  Run({"Copy C:\\a C:\\b\r", "Echo still running", "Rem note"});
  EXPECT_EQ(Err(),
            "Unknown command: Copy C:\\a C:\\b\n"
            "Unknown command: Rem note\n");
  EXPECT_EQ(Out(), "still running\r\n");
}

TEST_F(InterpreterTest, RunFileReadsTheBatchByItsDriveFormInAnyCase) {
  AddFile("Run/Map.bat",
          "@Echo off\r\nEcho one\r\nEcho two > C:\\two.txt\r\n"
          "Echo three\n");
  EXPECT_EQ(interpreter_->RunFile("C:\\RUN\\map.BAT"),
            Interpreter::Outcome::kRan);
  EXPECT_EQ(Out(), "one\r\nthree\r\n");
  EXPECT_EQ(disk_.Read("two.txt"), "two \r\n");
}

TEST_F(InterpreterTest, RunFileFailsWhenTheBatchCannotBeRead) {
  AddFolder("Run");
  EXPECT_EQ(interpreter_->RunFile("C:\\Run\\Missing.bat"),
            Interpreter::Outcome::kUnreadable);
  EXPECT_EQ(interpreter_->RunFile("C:\\Run"),
            Interpreter::Outcome::kUnreadable);
  EXPECT_EQ(interpreter_->RunFile("Q:\\Map.bat"),
            Interpreter::Outcome::kUnreadable);
  EXPECT_EQ(Out(), "");
}

TEST_F(InterpreterTest, AFailedWriteToATargetEndsTheBatchThere) {
  // Writes to the target fail as on a full disk, half their bytes written.
  files_.Fail(FailingFileSystem::Operation::kWrite, "Full");
  AddFile("T/a");
  for (const char* failing :
       {"Echo scanning > C:\\Full.txt", "Dir C:\\T /s /b > C:\\Full.txt",
        "Dir C:\\T /s /b >> C:\\Full.txt"}) {
    AddFile("Run/Map.bat", std::string("Echo before\r\n") + failing +
                               "\r\nEcho OK! > C:\\Signal.txt\r\n");
    EXPECT_EQ(interpreter_->RunFile("C:\\Run\\Map.bat"),
              Interpreter::Outcome::kWriteFailed)
        << failing;
    EXPECT_FALSE(disk_.Exists("Signal.txt")) << failing;
  }
  EXPECT_EQ(Out(), "before\r\nbefore\r\nbefore\r\n");
  EXPECT_EQ(Err(),
            "Writing to C:\\Full.txt failed: the batch stops here\n"
            "Writing to C:\\Full.txt failed: the batch stops here\n"
            "Writing to C:\\Full.txt failed: the batch stops here\n");
}

}  // namespace
}  // namespace trovane::testing
