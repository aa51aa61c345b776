// Set: its rewrite rules, its serials and its log lines.
#include <gmock/gmock.h>

#include "platform/file_numbers.h"
#include "tests/databank/databank_fixture.h"

namespace trovane::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST_F(DatabankTest, SetOnAMissingDatabankCreatesItWithTheOneLine) {
  OpenLogged();
  data_.Set("C:\\Trovane", " Key ", " Value ");
  EXPECT_EQ(files_.Read("Trovane"), "Key=Value\r\n");
  EXPECT_THAT(
      IoLog(),
      ElementsAre("Database [C:\\Trovane] ==>> allocated swap "
                  "[C:\\Temp\\DSP.Root..TMP]",
                  "Database C:\\Trovane serial 0 Set [ Key ], [ Value ]",
                  "Swap serial 0 Set", " Append/Replace serial 1 Set",
                  " Append serial 1 Set"));
}

TEST_F(DatabankTest, SetOnAnExistingDatabankOpensOneTwoThenOne) {
  files_.Write("Trovane", "A=1\r\nB=2\r\n");
  OpenLogged();
  data_.Set("C:\\Trovane", "A", "3");
  EXPECT_EQ(files_.Read("Trovane"), "B=2\r\nA=3\r\n");
  EXPECT_THAT(IoLog(),
              ElementsAre("Database [C:\\Trovane] ==>> allocated "
                          "swap [C:\\Temp\\DSP.Root.Trovane.TMP]",
                          "Database C:\\Trovane serial 1 Set [A], [3]",
                          "Swap serial 2 Set", " Replace serial 1 Set"));

  data_.Set("C:\\Trovane", "C", "4");
  EXPECT_THAT(IoLog(), ::testing::IsSupersetOf({" Append/Replace serial 1 Set",
                                                " Append serial 1 Set"}));
  EXPECT_EQ(FileNumbers::Process().OpenCount(), 0);
}

TEST_F(DatabankTest, ANewEntryIsAppendedWhereARewriteWouldChangeNothingElse) {
  files_.Write("Trovane", "A=1\r\n");
  const FileVersion before = files_.Status("C:\\Trovane")->version;
  OpenLogged();
  data_.Set("C:\\Trovane", "B", "2");
  data_.Set("C:\\Trovane", "C", "3");
  EXPECT_EQ(files_.Read("Trovane"), "A=1\r\nB=2\r\nC=3\r\n");
  // The same file, grown: no rewrite took its place.
  EXPECT_EQ(files_.Status("C:\\Trovane")->version.inode, before.inode);
  EXPECT_THAT(IoLog(),
              ElementsAre(::testing::StartsWith("Database [C:\\Trovane]"),
                          "Database C:\\Trovane serial 1 Set [B], [2]",
                          "Swap serial 2 Set", " Append/Replace serial 1 Set",
                          " Append serial 1 Set",
                          ::testing::StartsWith("Database [C:\\Trovane]"),
                          "Database C:\\Trovane serial 1 Set [C], [3]",
                          "Swap serial 2 Set", " Append/Replace serial 1 Set",
                          " Append serial 1 Set"));
}

TEST_F(DatabankTest, SerialsCountFilesTheProgramHoldsOpen) {
  files_.Write("Trovane", "A=1\r\n");
  OpenLogged();
  std::unique_ptr<InputFile> held = files_.OpenForReading("C:\\Trovane", {});
  ASSERT_EQ(held->number(), 1);
  data_.Set("C:\\Trovane", "A", "2");
  EXPECT_THAT(IoLog(), ::testing::IsSupersetOf(
                           {"Database C:\\Trovane serial 2 Set [A], [2]",
                            "Swap serial 3 Set", " Replace serial 2 Set"}));
}

TEST_F(DatabankTest, RewriteKeepsCommentsAndDropsEmptiesAndBlankValues) {
  files_.Write("Trovane",
               "  a comment, kept as it stands  \r\n"
               "\r\n"
               "   \r\n"
               "=orphan value\r\n"
               "  =also orphan\r\n"
               "Blank=\r\n"
               "Spaces =   \r\n"
               "Key=old\r\n"
               "  Other  =  keeps its spaces  \r\n"
               "Padded=abc==\r\n"
               "key = older duplicate\r\n"
               "Last=1\r\n");
  data_.Set("C:\\Trovane", "KEY", "new");
  EXPECT_EQ(files_.Read("Trovane"),
            "  a comment, kept as it stands  \r\n"
            "  Other  =  keeps its spaces  \r\n"
            "Padded=abc==\r\n"
            "Last=1\r\n"
            "KEY=new\r\n");
}

TEST_F(DatabankTest, AByteOrderMarkIsNoPartOfTheFirstKeyAndStaysFirst) {
  files_.Write("Trovane", "\xEF\xBB\xBFKey=old\r\nOther=x\r\n");
  EXPECT_EQ(data_.Query("C:\\Trovane", "KEY"), "old");
  EXPECT_EQ(data_.QueryByLineNumber("C:\\Trovane", 1).Key, "Key");
  data_.Set("C:\\Trovane", "KEY", "new");
  EXPECT_EQ(files_.Read("Trovane"), "\xEF\xBB\xBFOther=x\r\nKEY=new\r\n");
}

TEST_F(DatabankTest, SettingAKeyInAnotherCaseLeavesOneLineAtTheEnd) {
  data_.Set("C:\\Trovane", "Key", "first");
  data_.Set("C:\\Trovane", "Other", "x");
  data_.Set("C:\\Trovane", "KEY", "second");
  EXPECT_EQ(files_.Read("Trovane"), "Other=x\r\nKEY=second\r\n");
  EXPECT_EQ(data_.Query("C:\\Trovane", "  key "), "second");
}

TEST_F(DatabankTest, EmptyValueRemovesEveryLineOfTheKey) {
  files_.Write("Trovane", "A=1\r\nB=2\r\na=3\r\n");
  OpenLogged();
  data_.Set("C:\\Trovane", "A", "");
  EXPECT_EQ(files_.Read("Trovane"), "B=2\r\n");
  EXPECT_EQ(IoLog().back(), " Blank entry ==>> Property removed from databank");

  data_.Set("C:\\Trovane", "A", "");
  EXPECT_EQ(IoLog().back(),
            " Blank entry ==>> Property not found in databank!!");
}

TEST_F(DatabankTest, ValueOfOnlySpacesWritesAnEntryTheNextRewriteDrops) {
  data_.Set("C:\\Trovane", "A", "   ");
  EXPECT_EQ(files_.Read("Trovane"), "A=\r\n");
  data_.Set("C:\\Trovane", "B", "1");
  EXPECT_EQ(files_.Read("Trovane"), "B=1\r\n");
}

TEST_F(DatabankTest, BlankNameOrKeyDoesNothing) {
  OpenLogged();
  data_.Set("  ", "K", "V");
  data_.Set("C:\\Trovane", "  ", "V");
  EXPECT_FALSE(files_.Exists("Trovane"));
  EXPECT_THAT(IoLog(), IsEmpty());
}

TEST_F(DatabankTest, EmptyValueOnAMissingDatabankCreatesNothing) {
  data_.Set("C:\\Trovane", "K", "");
  EXPECT_FALSE(files_.Exists("Trovane"));
}

TEST_F(DatabankTest, RewriteLeavesNoExtraFileBehind) {
  files_.Write("Trovane", "A=1\r\n");
  data_.Set("C:\\Trovane", "B", "2");
  data_.Set("C:\\Trovane", "A", "");
  EXPECT_FALSE(files_.Exists(".Trovane.trovane-new"));
  EXPECT_FALSE(files_.Exists("Temp/DSP.Root.Trovane.TMP"));
  EXPECT_FALSE(files_.Exists("Temp/DSP.Root..TMP"));
}

TEST_F(DatabankTest, SwapNameCarriesTheFoldersLastPartAndTheFileName) {
  files_.Write("VEK/x.dat", "A=1\r\n");
  OpenLogged();
  const DatabankLocks locks = data_.AllocateSwap("C:\\VEK\\x.dat");
  EXPECT_EQ(locks.swap_path, "C:\\Temp\\DSP.VEK.x.dat.TMP");
  EXPECT_TRUE(files_.Exists("Temp/DSP.VEK.x.dat.TMP"));
  EXPECT_THAT(IoLog(), ElementsAre("Database [C:\\VEK\\x.dat] ==>> allocated "
                                   "swap [C:\\Temp\\DSP.VEK.x.dat.TMP]"));
}

TEST_F(DatabankTest, SwapNameUsesTheFileNameAsStoredOnDisk) {
  files_.Write("TROVANE", "A=1\r\n");
  data_.OpenDatabankAccess();
  EXPECT_EQ(data_.AllocateSwap("C:\\Trovane").swap_path,
            "C:\\Temp\\DSP.Root.TROVANE.TMP");
  // Only the exact name of the main databank is the root.
  EXPECT_EQ(data_.AllocateSwap("c:\\trovane").swap_path,
            "C:\\Temp\\DSP.c:.TROVANE.TMP");
}

TEST_F(DatabankTest, UpperCasedNameStillUpdatesTheRealFile) {
  files_.Write("Vek/Data/Bank.dat", "A=1\r\n");
  data_.Set("C:\\VEK\\DATA\\BANK.DAT", "B", "2");
  EXPECT_EQ(files_.Read("Vek/Data/Bank.dat"), "A=1\r\nB=2\r\n");
}

TEST_F(DatabankTest, KeepsHostileLinesByteForByte) {
  const std::string nul_line("nul\0byte=kept", 13);
  const std::string long_line = "Long=" + std::string(10 << 20, 'x');
  const std::string latin1 = "Caf\xe9=\xff\xfe bytes";
  files_.Write("Trovane", nul_line + "\n" + long_line + "\n" + latin1 +
                              "\r\nLone\rCR=inside\nNoFinalBreak=1");
  data_.Set("C:\\Trovane", "New", "1");
  EXPECT_EQ(files_.Read("Trovane"),
            nul_line + "\r\n" + long_line + "\r\n" + latin1 +
                "\r\nLone\rCR=inside\r\nNoFinalBreak=1\r\nNew=1\r\n");
}

TEST_F(DatabankTest, ThousandsOfEntriesSurviveARewrite) {
  std::string content;
  for (int i = 0; i < 5000; ++i) {
    content +=
        "Key" + std::to_string(i) + "=Value" + std::to_string(i) + "\r\n";
  }
  files_.Write("Trovane", content);
  data_.Set("C:\\Trovane", "Key0", "moved");
  EXPECT_EQ(files_.Read("Trovane"),
            content.substr(content.find("Key1=")) + "Key0=moved\r\n");
}

}  // namespace
}  // namespace trovane::testing
