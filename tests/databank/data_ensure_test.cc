// EnsureDatabank: creation and repair of the housekeeping entries.
#include <gmock/gmock.h>

#include "tests/databank/databank_fixture.h"

namespace trovane::testing {
namespace {

using ::testing::ElementsAre;

TEST_F(DatabankTest, CreatesAMissingDatabankWithItsTwoLines) {
  clock_.SetTime(2026, 3, 4, 5, 6, 7);
  OpenLogged();
  data_.EnsureDatabank("C:\\Trovane");
  EXPECT_EQ(files_.Read("Trovane"),
            "INTERNAL FLAG = EXISTS!\r\nTDS = 05:06:07 03-04-2026\r\n");
  EXPECT_EQ(files_.Read("Run/Database_IO.log"), "");  // creation is silent
  EXPECT_FALSE(files_.Exists(".Trovane.trovane-new"));
  EXPECT_FALSE(files_.Exists("Temp/DSP.Root..TMP"));
  EXPECT_EQ(data_.Query("C:\\Trovane", "INTERNAL FLAG"), "EXISTS!");
}

TEST_F(DatabankTest, RewritesAFlagInTheWrongCaseAtTheEnd) {
  files_.Write("Trovane", "INTERNAL FLAG=exists!\r\nTDS=x\r\nA=1\r\n");
  data_.EnsureDatabank("C:\\Trovane");
  EXPECT_EQ(files_.Read("Trovane"),
            "TDS=x\r\nA=1\r\nINTERNAL FLAG=EXISTS!\r\n");
}

TEST_F(DatabankTest, AddsAMissingStampFromTheFileTimeBeforeTheFlag) {
  files_.Write("Trovane", "A=1\r\n");
  files_.SetModified("Trovane", {2025, 7, 9, 8, 7, 6});

  data_.EnsureDatabank("C:\\Trovane");
  EXPECT_EQ(files_.Read("Trovane"),
            "A=1\r\nTDS=07-09-2025 08:07:06\r\nINTERNAL FLAG=EXISTS!\r\n");
}

TEST_F(DatabankTest, LeavesACompleteDatabankAloneAndOnlyQueries) {
  const std::string content = "INTERNAL FLAG = EXISTS!\r\nTDS = t\r\n";
  files_.Write("Trovane", content);
  OpenLogged();
  data_.EnsureDatabank("C:\\Trovane");
  EXPECT_EQ(files_.Read("Trovane"), content);
  EXPECT_THAT(IoLog(),
              ElementsAre("Database C:\\Trovane serial 1 Query [TDS] ==>> [t]",
                          "Database C:\\Trovane serial 1 Query [INTERNAL FLAG] "
                          "==>> [EXISTS!]"));
}

TEST_F(DatabankTest, AFolderInTheWayIsNeitherReplacedNorFilled) {
  files_.MakeFolder("C:\\Trovane");
  data_.EnsureDatabank("C:\\Trovane");
  ASSERT_TRUE(files_.Status("C:\\Trovane").has_value());
  EXPECT_FALSE(files_.IsFile("C:\\Trovane"));
  EXPECT_FALSE(files_.Exists(".Trovane.trovane-new"));
}

TEST_F(DatabankTest, DatabanksBesideTheProgramResolveAgainstTheRunPath) {
  data_.EnsureDatabank("Local.dat");
  EXPECT_TRUE(files_.Exists("Run/Local.dat"));
}

}  // namespace
}  // namespace trovane::testing
