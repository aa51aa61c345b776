// The count the progress line shows while the scan batch lists the disk:
// the one number a user watches during a long scan.
#include <gtest/gtest.h>

#include "shell/scan_batch.h"

namespace trovane {
namespace {

TEST(ProgressTextTest, GroupsTheCountInThousandsAndShowsMinutesAndSeconds) {
  const struct {
    uint64_t paths;
    int seconds;
    const char* shown;
  } kCases[] = {
      {0, 0, "0 paths listed in 0:00"},
      {1, 0, "1 path listed in 0:00"},
      {999, 5, "999 paths listed in 0:05"},
      {1'000, 59, "1,000 paths listed in 0:59"},
      {12'345, 65, "12,345 paths listed in 1:05"},
      {1'234'567, 600, "1,234,567 paths listed in 10:00"},
      {100'000'000, 3'599, "100,000,000 paths listed in 59:59"},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(ProgressText({c.paths, std::chrono::seconds(c.seconds)}),
              c.shown);
  }
}

TEST(ProgressTextTest, SaysWhenTheListingHasStoppedOrWaitsForAnother) {
  using std::chrono::seconds;
  EXPECT_EQ(ProgressText({12, seconds(75), seconds(29)}),
            "12 paths listed in 1:15");
  EXPECT_EQ(ProgressText({12, seconds(75), seconds(30)}),
            "12 paths listed in 1:15; the listing has not moved for 0:30");
  EXPECT_EQ(ProgressText({0, seconds(75), seconds(75), true}),
            "0 paths listed in 1:15; waiting for an earlier run's scan batch");
  EXPECT_EQ(ProgressText({3, seconds(75), seconds(31), true}),
            "3 paths listed in 1:15; the listing has not moved for 0:31");
}

}  // namespace
}  // namespace trovane
