// Access settings, name resolution and the I/O log's rotation.
#include <gmock/gmock.h>

#include "tests/databank/databank_fixture.h"

namespace trovane::testing {
namespace {

using ::testing::ElementsAre;

TEST_F(DatabankTest, OpeningLogsTheFoldersAndAnEmptyWaitFile) {
  data_.StartDatabankLog(true);
  data_.OpenDatabankAccess();
  EXPECT_THAT(IoLog(), ElementsAre("Innitialized databank access with tempdir "
                                   "[C:\\Temp], runpath [C:\\Run] and wait "
                                   "file []",
                                   "   "));
}

TEST_F(DatabankTest, TemporaryFolderComesFromVekThenTempThenTmpThenRunPath) {
  environment_.Set("VEK", "C:\\Vek");
  environment_.Set("TMP", "C:\\Tmp");
  data_.OpenDatabankAccess();
  EXPECT_EQ(data_.temporary_folder(), "C:\\Vek");  // drive form kept

  environment_.Set("VEK", "");
  data_.OpenDatabankAccess();
  EXPECT_EQ(data_.temporary_folder(), "C:\\Temp");

  environment_.Set("TEMP", "");
  data_.OpenDatabankAccess();
  EXPECT_EQ(data_.temporary_folder(), "C:\\Tmp");

  environment_.Set("TMP", "");
  data_.OpenDatabankAccess();
  EXPECT_EQ(data_.temporary_folder(), "C:\\Run");
  EXPECT_EQ(data_.run_path(), "C:\\Run");
}

TEST_F(DatabankTest, NothingIsLoggedBeforeLoggingStarts) {
  data_.OpenDatabankAccess();
  data_.Set("C:\\Trovane", "K", "V");
  EXPECT_FALSE(files_.Exists("Run/Database_IO.log"));
  EXPECT_EQ(files_.Read("Trovane"), "K=V\r\n");
}

TEST_F(DatabankTest, ResolvesNamesAgainstTheRunPathUnlessTheyHoldADrive) {
  EXPECT_EQ(data_.ResolveDatabankPath("C:\\Trovane"), "C:\\Trovane");
  // Resolving opens access first.
  EXPECT_EQ(data_.ResolveDatabankPath("x.dat"), "C:\\Run\\x.dat");
  EXPECT_EQ(data_.ResolveDatabankPath("Sub\\x.dat"), "C:\\Run\\Sub\\x.dat");
}

TEST_F(DatabankTest, KeepsExactlyOnePreviousIoLog) {
  data_.StartDatabankLog(true);
  data_.LogDatabankIO("first run");
  data_.StartDatabankLog(true);
  data_.LogDatabankIO("second run");
  EXPECT_THAT(CrLfLines(files_.Read("Run/Database_IO.log.x")),
              ElementsAre("12-08-2026 21:24:33| first run"));
  data_.StartDatabankLog(true);
  EXPECT_THAT(CrLfLines(files_.Read("Run/Database_IO.log.x")),
              ElementsAre("12-08-2026 21:24:33| second run"));
  EXPECT_FALSE(files_.Exists("Run/Database_IO.log"));

  data_.LogDatabankIO("third run");
  data_.StartDatabankLog(false);
  EXPECT_FALSE(files_.Exists("Run/Database_IO.log"));
  EXPECT_TRUE(data_.logging());
}

TEST_F(DatabankTest, IoLogLineCarriesTheFractionOfTheSecond) {
  clock_.SetTime(2026, 1, 2, 19, 52, 47, 0.53125F);
  data_.LogDatabankIO("x");
  EXPECT_EQ(files_.Read("Run/Database_IO.log"),
            "01-02-2026 19:52:47.53125| x\r\n");
}

}  // namespace
}  // namespace trovane::testing
