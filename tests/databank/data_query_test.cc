// The reading operations and their log lines.
#include <gmock/gmock.h>

#include "platform/file_numbers.h"
#include "tests/databank/databank_fixture.h"

namespace trovane::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST_F(DatabankTest, QueryReturnsTheFirstMatchingValueTrimmed) {
  files_.Write("Trovane", "comment\r\n key  =  first = value  \r\nKEY=2\r\n");
  OpenLogged();
  EXPECT_EQ(data_.Query("C:\\Trovane", "Key"), "first = value");
  EXPECT_THAT(IoLog(), ElementsAre("Database C:\\Trovane serial 1 Query [Key] "
                                   "==>> [first = value]"));
}

TEST_F(DatabankTest, QueryMissClosesTheFileAndLogsAnEmptyValue) {
  files_.Write("Trovane", "A=1\r\n");
  OpenLogged();
  EXPECT_EQ(data_.Query("C:\\Trovane", "Missing"), "");
  EXPECT_EQ(FileNumbers::Process().OpenCount(), 0);
  // A second miss still gets the first number: nothing leaked.
  EXPECT_EQ(data_.Query("C:\\Trovane", "Missing"), "");
  EXPECT_THAT(
      IoLog(),
      ElementsAre("Database C:\\Trovane serial 1 Query [Missing] ==>> []",
                  "Database C:\\Trovane serial 1 Query [Missing] ==>> []"));
}

TEST_F(DatabankTest, QueryOfAMissingOrEmptyDatabankOrEmptyKeyLogsNothing) {
  OpenLogged();
  EXPECT_EQ(data_.Query("C:\\Trovane", "A"), "");
  files_.Write("Trovane", "");
  EXPECT_EQ(data_.Query("C:\\Trovane", "A"), "");
  files_.Write("Trovane", "A=1\r\n");
  EXPECT_EQ(data_.Query("C:\\Trovane", ""), "");
  EXPECT_THAT(IoLog(), IsEmpty());
}

TEST_F(DatabankTest, QueryRemovesAKeyWhoseValueIsBlank) {
  files_.Write("Trovane", "A=\r\nB=1\r\n");
  OpenLogged();
  EXPECT_EQ(data_.Query("C:\\Trovane", "A"), "");
  EXPECT_EQ(files_.Read("Trovane"), "B=1\r\n");
  EXPECT_THAT(IoLog(),
              ElementsAre("Database C:\\Trovane serial 0 RemoveEntry [A]",
                          "Database [C:\\Trovane] ==>> allocated swap "
                          "[C:\\Temp\\DSP.Root.Trovane.TMP]",
                          "Database C:\\Trovane serial 1 Set [A], []",
                          "Swap serial 2 Set",
                          " Blank entry ==>> Property removed from databank",
                          "Database C:\\Trovane serial 1 Query [A] ==>> []"));
}

TEST_F(DatabankTest, FindEntryReturnsTheLastKeyWhoseValueHoldsTheText) {
  files_.Write("Trovane", "A=xabcx\r\nabc without equals\r\nB=ABC\r\nC=ab\r\n");
  OpenLogged();
  EXPECT_EQ(data_.FindEntry("C:\\Trovane", " abc "), "B");
  EXPECT_EQ(data_.FindEntry("C:\\Trovane", "zzz"), "");
  EXPECT_EQ(data_.FindEntry("C:\\Missing", "abc"), "");
  EXPECT_THAT(
      IoLog(),
      ElementsAre("Database C:\\Trovane serial 1 FindEntry [ abc ] ==>> [B]",
                  "Database C:\\Trovane serial 1 FindEntry [zzz] ==>> []",
                  "Database C:\\Missing serial 0 FindEntry [abc] ==>> []"));
}

TEST_F(DatabankTest, FindEntryFindsTextsOfAnyLengthAlsoInLinesAppendedSince) {
  files_.Write("Trovane",
               "A=C:\\Vek\\Bin\\vek.exe\r\nB=C:\\Other\\vek.exe.bak\r\n"
               "C=aaaa\r\nD==\r\n");
  const struct {
    const char* text;
    const char* key;
  } kCases[] = {
      {"vek.exe", "B"},    {"BIN\\VEK", "A"},
      {"k", "B"},          {"aaa", "C"},
      {"aaaaa", ""},       {"=", "D"},
      {"", "D"},           {"exe.bak.", ""},
      {"\\vek\\bin", "A"}, {"other\\vek.exe.bak", "B"},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(data_.FindEntry("C:\\Trovane", c.text), c.key) << c.text;
  }
  // An entry appended by a Set is searched as the lines that were read.
  data_.Set("C:\\Trovane", "E", "D:\\Vek.exe");
  EXPECT_EQ(data_.FindEntry("C:\\Trovane", "vek.exe"), "E");
  EXPECT_EQ(data_.FindEntry("C:\\Trovane", "aaa"), "C");
}

TEST_F(DatabankTest, QueryByLineNumberCountsCommentLinesToo) {
  files_.Write("Trovane", "comment\r\n K = V \r\n=only value\r\n");
  OpenLogged();
  const DatabankEntry second = data_.QueryByLineNumber("C:\\Trovane", 2);
  EXPECT_EQ(second.Key, "K");
  EXPECT_EQ(second.Value, "V");
  const DatabankEntry first = data_.QueryByLineNumber("C:\\Trovane", 1);
  EXPECT_EQ(first.Key, "");
  EXPECT_EQ(first.Value, "");
  const DatabankEntry third = data_.QueryByLineNumber("C:\\Trovane", 3);
  EXPECT_EQ(third.Key, "");
  EXPECT_EQ(third.Value, "only value");
  const DatabankEntry beyond = data_.QueryByLineNumber("C:\\Trovane", 9);
  EXPECT_EQ(beyond.Key + beyond.Value, "");
  EXPECT_THAT(IoLog(),
              ElementsAre("Database C:\\Trovane serial 1 QueryByLineNumber [2] "
                          "==>> [K=V]",
                          "Database C:\\Trovane serial 1 QueryByLineNumber [1] "
                          "==>> [=]",
                          "Database C:\\Trovane serial 1 QueryByLineNumber [3] "
                          "==>> [=only value]",
                          "Database C:\\Trovane serial 1 QueryByLineNumber [9] "
                          "==>> [=]"));
  EXPECT_EQ(FileNumbers::Process().OpenCount(), 0);
}

TEST_F(DatabankTest, ReadersAcceptLfOnlyAndAMissingFinalBreak) {
  files_.Write("Trovane", "A=1\nB=2");
  EXPECT_EQ(data_.Query("C:\\Trovane", "B"), "2");
  EXPECT_EQ(data_.QueryByLineNumber("C:\\Trovane", 2).Value, "2");
  EXPECT_EQ(data_.FindEntry("C:\\Trovane", "2"), "B");
}

TEST_F(DatabankTest, RemoveEntryLogsSerialZeroThenSets) {
  files_.Write("Trovane", "A=1\r\n");
  OpenLogged();
  data_.RemoveEntry("C:\\Trovane", "a");
  EXPECT_EQ(files_.Read("Trovane"), "");
  EXPECT_EQ(IoLog().front(), "Database C:\\Trovane serial 0 RemoveEntry [a]");
}

TEST_F(DatabankTest, ReadsNeverServeWhatTheFileNoLongerHolds) {
  files_.Write("Trovane", "K=1\r\nL=2\r\n");
  EXPECT_EQ(data_.Query("C:\\Trovane", "K"), "1");
  EXPECT_EQ(data_.QueryByLineNumber("C:\\Trovane", 2).Value, "2");
  // Another process changes the databank between two operations.
  files_.Write("Trovane", "L=3\r\nK=4\r\n");
  EXPECT_EQ(data_.Query("C:\\Trovane", "K"), "4");
  EXPECT_EQ(data_.QueryByLineNumber("C:\\Trovane", 1).Value, "3");
  EXPECT_EQ(data_.FindEntry("C:\\Trovane", "3"), "L");
}

}  // namespace
}  // namespace trovane::testing
