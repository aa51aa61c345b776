// Running batch lines: Echo, Del, Cd, redirections and lines of other
// shapes.
#include "trovane-cmd/interpreter.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

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
  sandbox_.MakeFolder("tmp");
  Run({"Echo OK! > C:\\tmp\\Signal.txt"});
  EXPECT_EQ(sandbox_.Read("tmp/Signal.txt"), "OK! \r\n");
  EXPECT_EQ(Out(), "");
}

TEST_F(InterpreterTest, ReplacingEmptiesTheFileAndAppendingAddsToIt) {
  sandbox_.Write("log.txt", "old\r\n");
  Run({"Echo first > C:\\LOG.TXT", "Echo second >> C:\\log.txt",
       "Echo third>>C:\\new.txt"});
  EXPECT_EQ(sandbox_.Read("log.txt"), "first \r\nsecond \r\n");
  EXPECT_EQ(sandbox_.Read("new.txt"), "third\r\n");
}

TEST_F(InterpreterTest, NothingInALineRunsAnotherCommand) {
  sandbox_.Write("victim.txt", "keep");
  Run({"Echo x & Del C:\\victim.txt | Del C:\\victim.txt",
       "Echo %WINDIR% $(rm -rf C:\\) `id` > C:\\out.txt"});
  EXPECT_EQ(sandbox_.Read("victim.txt"), "keep");
  EXPECT_EQ(Out(), "x & Del C:\\victim.txt | Del C:\\victim.txt\r\n");
  EXPECT_EQ(sandbox_.Read("out.txt"), "%WINDIR% $(rm -rf C:\\) `id` \r\n");
}

TEST_F(InterpreterTest, ALinkPlantedAtARedirectionTargetIsRemovedNotFollowed) {
  const Sandbox outside;  // not on any drive of the interpreter
  outside.Write("precious.txt", "keep");
  sandbox_.Write("T/a", "");
  sandbox_.MakeFolder("Temp");
  for (const char* name : {"Temp/Trovane.txt", "Temp/Signal.txt"}) {
    ASSERT_EQ(symlink(outside.Path("precious.txt").c_str(),
                      sandbox_.Path(name).c_str()),
              0);
  }
  Run({"Dir C:\\T /s /b > C:\\Temp\\Trovane.txt",
       "Echo OK! >> C:\\Temp\\Signal.txt"});
  EXPECT_EQ(outside.Read("precious.txt"), "keep");
  for (const char* name : {"Temp/Trovane.txt", "Temp/Signal.txt"}) {
    struct stat info;
    ASSERT_EQ(lstat(sandbox_.Path(name).c_str(), &info), 0);
    EXPECT_TRUE(S_ISREG(info.st_mode)) << name;
  }
  EXPECT_EQ(sandbox_.Read("Temp/Trovane.txt"), "C:\\T\\a\r\n");
  EXPECT_EQ(sandbox_.Read("Temp/Signal.txt"), "OK! \r\n");
  EXPECT_EQ(Err(), "");
}

TEST_F(InterpreterTest, ARedirectionIntoAMissingFolderIsReported) {
  Run({"Echo x > C:\\Missing\\out.txt", "Echo next"});
  EXPECT_EQ(Err(), "Cannot write to C:\\Missing\\out.txt\n");
  EXPECT_EQ(Out(), "next\r\n");
}

TEST_F(InterpreterTest, DelRemovesTheFileWhateverTheCaseWritten) {
  sandbox_.Write("tmp/Signal.txt", "OK! \r\n");
  Run({"Del C:\\TMP\\SIGNAL.TXT"});
  EXPECT_FALSE(sandbox_.Exists("tmp/Signal.txt"));
  EXPECT_EQ(Err(), "");
}

TEST_F(InterpreterTest, DelOfAMissingFileSaysSoAndTheBatchGoesOn) {
  Run({"Del C:\\tmp\\Signal.txt", "Del Q:\\x.txt", "Echo after"});
  EXPECT_EQ(Err(),
            "Could Not Find C:\\tmp\\Signal.txt\n"
            "Could Not Find Q:\\x.txt\n");
  EXPECT_EQ(Out(), "after\r\n");
}

TEST_F(InterpreterTest, DelLeavesFoldersAlone) {
  sandbox_.Write("Folder/inside", "");
  Run({"Del C:\\Folder"});
  EXPECT_TRUE(sandbox_.Exists("Folder/inside"));
  EXPECT_EQ(Err(), "Could Not Delete C:\\Folder\n");
}

TEST_F(InterpreterTest, CdChangesTheFolderRelativePathsAreTakenFrom) {
  sandbox_.MakeFolder("Program Files & more/Sub");
  Run({"Cd C:\\program files & more", "Echo here > here.txt", "Cd Sub",
       "Echo deeper > deeper.txt", "Cd..", "Cd .\\Sub\\..\\..",
       "Echo top > top.txt"});
  EXPECT_EQ(sandbox_.Read("Program Files & more/here.txt"), "here \r\n");
  EXPECT_EQ(sandbox_.Read("Program Files & more/Sub/deeper.txt"),
            "deeper \r\n");
  EXPECT_EQ(sandbox_.Read("top.txt"), "top \r\n");
  EXPECT_EQ(Err(), "");
}

TEST_F(InterpreterTest, CdBackslashAndDotDotStopAtTheRootOfTheDrive) {
  sandbox_.MakeFolder("A/B");
  Run({"Cd C:\\A\\B", "Cd\\"});
  EXPECT_EQ(interpreter_.current_folder(), sandbox_.root());
  Run({"Cd C:\\A", "Cd ..\\..\\..\\.."});
  EXPECT_EQ(interpreter_.current_folder(), sandbox_.root());
  EXPECT_EQ(Err(), "");
}

TEST_F(InterpreterTest, CdToAMissingFolderKeepsTheCurrentOne) {
  sandbox_.Write("file.txt", "");
  Run({"Cd C:\\Missing", "Cd C:\\file.txt"});
  EXPECT_EQ(interpreter_.current_folder(), sandbox_.root());
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
  sandbox_.Write("Run/Map.bat",
                 "@Echo off\r\nEcho one\r\nEcho two > C:\\two.txt\r\n"
                 "Echo three\n");
  EXPECT_EQ(interpreter_.RunFile("C:\\RUN\\map.BAT"),
            Interpreter::Outcome::kRan);
  EXPECT_EQ(Out(), "one\r\nthree\r\n");
  EXPECT_EQ(sandbox_.Read("two.txt"), "two \r\n");
}

TEST_F(InterpreterTest, RunFileFailsWhenTheBatchCannotBeRead) {
  sandbox_.MakeFolder("Run");
  EXPECT_EQ(interpreter_.RunFile("C:\\Run\\Missing.bat"),
            Interpreter::Outcome::kUnreadable);
  EXPECT_EQ(interpreter_.RunFile("C:\\Run"), Interpreter::Outcome::kUnreadable);
  EXPECT_EQ(interpreter_.RunFile("Q:\\Map.bat"),
            Interpreter::Outcome::kUnreadable);
  EXPECT_EQ(Out(), "");
}

TEST_F(InterpreterTest, AFailedWriteToATargetEndsTheBatchThere) {
  // Writes to /dev/full fail as on a full disk.
  sandbox_.Write("T/a", "");
  for (const char* failing :
       {"Echo scanning > /dev/full", "Dir C:\\T /s /b > /dev/full",
        "Dir C:\\T /s /b >> /dev/full"}) {
    sandbox_.Write("Run/Map.bat", std::string("Echo before\r\n") + failing +
                                      "\r\nEcho OK! > C:\\Signal.txt\r\n");
    EXPECT_EQ(interpreter_.RunFile("C:\\Run\\Map.bat"),
              Interpreter::Outcome::kWriteFailed)
        << failing;
    EXPECT_FALSE(sandbox_.Exists("Signal.txt")) << failing;
  }
  EXPECT_EQ(Out(), "before\r\nbefore\r\nbefore\r\n");
  EXPECT_EQ(Err(),
            "Writing to /dev/full failed: the batch stops here\n"
            "Writing to /dev/full failed: the batch stops here\n"
            "Writing to /dev/full failed: the batch stops here\n");
}

}  // namespace
}  // namespace trovane::testing
