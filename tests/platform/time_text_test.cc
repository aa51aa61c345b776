// The time stamps of the logs and the appending of log lines.
#include "platform/time_text.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>

#include "platform/log_file.h"
#include "tests/support/failing_file_system.h"
#include "tests/support/fakes.h"
#include "tests/support/memory_file_system.h"
#include "tests/support/sandbox.h"

namespace trovane {
namespace {

using ::trovane::testing::FailingFileSystem;
using ::trovane::testing::FakeClock;
using ::trovane::testing::MemoryFileSystem;
using ::trovane::testing::Sandbox;

TEST(TimeTextTest, DateAndTimeArePaddedWithZeros) {
  const LocalTime early{987, 3, 4, 5, 6, 7};
  EXPECT_EQ(DateText(early), "03-04-0987");
  EXPECT_EQ(TimeText(early), "05:06:07");
  EXPECT_EQ(DateTimeText(early), "03-04-0987 05:06:07");
  const LocalTime late{2026, 12, 31, 23, 59, 59};
  EXPECT_EQ(DateTimeText(late), "12-31-2026 23:59:59");
}

TEST(TimeTextTest, FractionCarriesTheDigitsOfTheSinglePrecisionCounter) {
  EXPECT_EQ(FractionText(0.0F), "");
  EXPECT_EQ(FractionText(71567.0F), "");
  EXPECT_EQ(FractionText(0.5F), ".5");
  EXPECT_EQ(FractionText(71567.5F), ".5");
  EXPECT_EQ(FractionText(71567.53125F), ".53125");
  EXPECT_EQ(FractionText(0.0625F), ".0625");
  // 71567.54 is not a single-precision number; the counter holds
  // 71567.5390625, and only those digits are written.
  EXPECT_EQ(FractionText(71567.5390625F), ".5390625");
  EXPECT_EQ(FractionText(71567.54F), ".5390625");
}

TEST(TimeTextTest, FractionKeepsAtMostSevenDigitsAndNoExponent) {
  // 0.123456789 is held as 0.12345679104...
  EXPECT_EQ(FractionText(0.123456789F), ".1234568");
  // 0.3 is held as 0.30000001192...: rounding leaves zeros that go.
  EXPECT_EQ(FractionText(0.3F), ".3");
  // The largest fraction below one: no rounding up into the next second.
  EXPECT_EQ(FractionText(0.99999994F), ".9999999");
  // Tiny fractions are written without an exponent. 2 to the power -24, the
  // smallest step of the counter after midnight.
  EXPECT_EQ(FractionText(5.9604644775390625e-8F), ".00000005960464");
  EXPECT_EQ(FractionText(1e-10F), ".0000000001");
}

TEST(TimeTextTest, LogLineLayout) {
  ClockReading reading;
  reading.time = {2026, 1, 2, 19, 52, 47};
  reading.seconds_since_midnight = 71567.53125F;
  EXPECT_EQ(LogLineText(reading, "About to exit"),
            "01-02-2026 19:52:47.53125| About to exit");
  reading.seconds_since_midnight = 71567.0F;
  EXPECT_EQ(LogLineText(reading, "Cleanup"), "01-02-2026 19:52:47| Cleanup");
  EXPECT_EQ(LogLineText(reading, ""), "01-02-2026 19:52:47| ");
  EXPECT_EQ(LogLineText(reading, "two\r\nlines"),
            "01-02-2026 19:52:47| two\r\nlines");
}

TEST(LogFileTest, AppendsCrLfLinesToOneFileWhateverTheCase) {
  Sandbox sandbox;
  sandbox.MakeFolder("Run");
  LinuxFileSystem files = sandbox.Files();
  FakeClock clock;
  LogFile log(files, clock);
  const int open_before = FileNumbers::Process().OpenCount();

  clock.SetTime(2026, 12, 8, 21, 24, 33, 0.5F);
  log.SetPath("C:\\Run\\Trovane.Log");
  log.Append("Cleanup");
  clock.SetTime(2026, 12, 8, 21, 24, 34);
  log.SetPath("C:\\RUN\\trovane.log");
  log.Append("");

  EXPECT_EQ(sandbox.Read("Run/Trovane.Log"),
            "12-08-2026 21:24:33.5| Cleanup\r\n12-08-2026 21:24:34| \r\n");
  EXPECT_FALSE(sandbox.Exists("Run/trovane.log"));
  // A log holds no file number, so it moves no serial.
  EXPECT_EQ(FileNumbers::Process().OpenCount(), open_before);

  // Renamed away by someone else, it is written afresh soon after.
  log.SetPath("C:\\Run\\Trovane.Log");
  std::filesystem::rename(sandbox.Path("Run/Trovane.Log"),
                          sandbox.Path("Run/Old.Log"));
  clock.Advance(std::chrono::milliseconds(250));
  log.Append("after");
  EXPECT_EQ(sandbox.Read("Run/Trovane.Log"),
            "12-08-2026 21:24:34.25| after\r\n");
}

TEST(LogFileTest, ALineThatCannotBeWrittenIsLostQuietly) {
  MemoryFileSystem disk;
  FailingFileSystem files(disk);
  files.Fail(FailingFileSystem::Operation::kOpen, "Trovane.Log");
  FakeClock clock;
  LogFile log(files, clock);
  log.SetPath("C:\\Trovane.Log");
  log.Append("lost");
  log.Append("lost too");
  EXPECT_EQ(files.failures(), 2);  // every line tries again
  EXPECT_FALSE(disk.Exists("Trovane.Log"));
}

}  // namespace
}  // namespace trovane
