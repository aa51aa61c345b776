// A Set the disk fails, and a Set that must wait for another run: the
// databank is never left half written, and waiting costs a few looks.
#include <gmock/gmock.h>

#include <algorithm>

#include "tests/databank/databank_fixture.h"
#include "tests/support/failing_file_system.h"

namespace trovane::testing {
namespace {

using ::testing::Contains;
using ::testing::HasSubstr;
using Operation = FailingFileSystem::Operation;

TEST_F(DatabankTest, ASetTheDiskFailsLeavesTheDatabankAsItWas) {
  const struct {
    Operation operation;
    const char* path_part;
  } kFailures[] = {
      {Operation::kOpen, "trovane-new"},   {Operation::kRead, "C:\\Trovane"},
      {Operation::kWrite, "trovane-new"},  {Operation::kClose, "trovane-new"},
      {Operation::kRename, "trovane-new"}, {Operation::kLock, "C:\\Trovane"},
  };
  // A new key, appended where the rest would stay as it is: what a failed
  // write left is cut back off.
  for (const Operation operation : {Operation::kWrite, Operation::kOpen}) {
    files_.Write("Trovane", "A=1\r\nB=2\r\n");
    FailingFileSystem failing(files_);
    Data data(failing, FileNumbers::Process(), clock_, environment_);
    data.Query("C:\\Trovane", "A");
    failing.Fail(operation, "C:\\Trovane");
    data.Set("C:\\Trovane", "C", "3");
    EXPECT_EQ(failing.failures(), 1);
    EXPECT_EQ(files_.Read("Trovane"), "A=1\r\nB=2\r\n");
  }
  for (const auto& [operation, path_part] : kFailures) {
    SCOPED_TRACE(static_cast<int>(operation));
    files_.Write("Trovane", "A=1\r\nB=2\r\n");
    FailingFileSystem failing(files_);
    failing.Fail(operation, path_part);
    Data data(failing, FileNumbers::Process(), clock_, environment_);
    data.StartDatabankLog(false);
    EXPECT_FALSE(data.Set("C:\\Trovane", "A", "3"));
    EXPECT_FALSE(data.RemoveEntry("C:\\Trovane", "B"));
    EXPECT_GT(failing.failures(), 0);
    EXPECT_EQ(files_.Read("Trovane"), "A=1\r\nB=2\r\n");
    EXPECT_FALSE(files_.Exists(".Trovane.trovane-new"));
    EXPECT_FALSE(files_.Exists("Temp/DSP.Root.Trovane.TMP"));
    // Both are logged all the same, as what they could not do.
    EXPECT_THAT(IoLog(), Contains(HasSubstr(" Set [A], [3]")));
    EXPECT_THAT(IoLog(), Contains(" Append/Replace ==>> Property could not be "
                                  "written to databank!!"));
    EXPECT_THAT(
        IoLog(),
        ::testing::AnyOf(
            Contains(" Blank entry ==>> Property could not be removed "
                     "from databank!!"),
            Contains(" Blank entry ==>> Databank could not be read!!")));
    EXPECT_THAT(IoLog(),
                ::testing::Not(Contains(HasSubstr(" Replace serial"))));
    EXPECT_THAT(IoLog(),
                ::testing::Not(Contains(HasSubstr("Property removed"))));
  }
}

// A databank that is a link another user planted, or a FIFO: what it
// leads to is never read into the log nor written, and nothing waits.
TEST_F(DatabankTest, ADatabankThatCannotBeOpenedIsNeitherReadNorWritten) {
  files_.Write("Private/secret", "A=hidden value\r\n");
  files_.GiveAway("Private/secret");
  files_.PlantSpecial("Fifo");
  for (const bool fifo : {false, true}) {
    SCOPED_TRACE(fifo);
    if (!fifo) files_.PlantLink("Trovane", "C:\\Private\\secret");
    const std::string name = fifo ? "C:\\Fifo" : "C:\\Trovane";
    OpenLogged();
    EXPECT_EQ(data_.Query(name, "A"), "");
    EXPECT_EQ(data_.QueryByLineNumber(name, 1).Key, "");
    EXPECT_EQ(data_.FindEntry(name, "hidden"), "");
    EXPECT_FALSE(data_.Set(name, "A", "mine"));
    EXPECT_FALSE(data_.RemoveEntry(name, "A"));
    data_.EnsureDatabank(name);
    EXPECT_EQ(files_.Read("Private/secret"), "A=hidden value\r\n");
    EXPECT_THAT(IoLog(), ::testing::Not(Contains(HasSubstr("hidden value"))));
  }
  EXPECT_FALSE(files_.IsFile("C:\\Fifo"));
}

TEST_F(DatabankTest, AStaleSwapFileIsRemovedAfterOneLook) {
  files_.Write("Trovane", "A=1\r\n");
  files_.Write("Temp/DSP.Root.Trovane.TMP", "left by a process that died");
  OpenLogged();
  data_.Set("C:\\Trovane", "B", "2");
  EXPECT_EQ(files_.Read("Trovane"), "A=1\r\nB=2\r\n");
  EXPECT_EQ(IoLog().front(),
            "!!! Swap conflict [C:\\Temp\\DSP.Root.Trovane.TMP]");
  EXPECT_FALSE(files_.Exists("Temp/DSP.Root.Trovane.TMP"));
}

// Another run holds the databank for a while: through the swap file in a
// shared temporary folder, or through the lock of the databank's folder
// when its temporary folder is another one.
TEST_F(DatabankTest, ALockAnotherRunHoldsIsWaitedForLessAndLessOften) {
  for (const bool through_folder : {false, true}) {
    SCOPED_TRACE(through_folder);
    files_.Write("Trovane", "A=1\r\n");
    OpenLogged();
    std::unique_ptr<HeldLock> other =
        through_folder
            ? files_.HoldFolderElsewhere("C:\\Trovane")
            : files_.HoldSwapElsewhere("C:\\Temp\\DSP.Root.Trovane.TMP");
    // The window's events are let through at least every tenth of a
    // second; the other run lets go after five seconds.
    int handled = 0;
    data_.SetWaitHandler([&] {
      if (++handled == 50) other.reset();
    });
    data_.Set("C:\\Trovane", "B", "2");

    EXPECT_GE(handled, 50);
    EXPECT_EQ(files_.Read("Trovane"), "A=1\r\nB=2\r\n");
    // A look after 25 ms, then twice as long each time up to a second:
    // ten looks over those five seconds and more, not two hundred.
    const std::vector<std::string> log =
        LogMessages(files_.Read("Run/Database_IO.log"));
    EXPECT_EQ(std::count(log.begin(), log.end(),
                         "!!! Swap conflict [C:\\Temp\\DSP.Root.Trovane.TMP]"),
              10);
  }
}

// A lock held for minutes is held by a process that is stopped, hung or
// hostile: the wait gives up, and the write fails as one that cannot be
// done, logged as such.
TEST_F(DatabankTest, ALockHeldForMinutesIsGivenUp) {
  for (const bool through_folder : {false, true}) {
    SCOPED_TRACE(through_folder);
    files_.Write("Trovane", "A=1\r\n");
    OpenLogged();
    const std::unique_ptr<HeldLock> other =
        through_folder
            ? files_.HoldFolderElsewhere("C:\\Trovane")
            : files_.HoldSwapElsewhere("C:\\Temp\\DSP.Root.Trovane.TMP");
    const double started = clock_.MonotonicSeconds();
    EXPECT_FALSE(data_.Set("C:\\Trovane", "B", "2"));
    EXPECT_GE(clock_.MonotonicSeconds() - started, 120.0);
    EXPECT_LT(clock_.MonotonicSeconds() - started, 125.0);
    EXPECT_EQ(files_.Read("Trovane"), "A=1\r\n");
    EXPECT_THAT(LogMessages(files_.Read("Run/Database_IO.log")),
                Contains(" Append/Replace ==>> Property could not be written "
                         "to databank!!"));
  }
}

}  // namespace
}  // namespace trovane::testing
