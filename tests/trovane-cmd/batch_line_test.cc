#include "trovane-cmd/batch_line.h"

#include <gtest/gtest.h>

namespace trovane {
namespace {

using Command = BatchLine::Command;

TEST(BatchLineTest, BlankLinesAndEchoSwitchesDoNothing) {
  EXPECT_EQ(ParseBatchLine("").command, Command::kNothing);
  EXPECT_EQ(ParseBatchLine("   \t ").command, Command::kNothing);
  EXPECT_EQ(ParseBatchLine("\r").command, Command::kNothing);
  EXPECT_EQ(ParseBatchLine("@Echo off\r").command, Command::kEchoSwitch);
  EXPECT_EQ(ParseBatchLine("ECHO OFF").command, Command::kEchoSwitch);
  EXPECT_EQ(ParseBatchLine("echo on").command, Command::kEchoSwitch);
}

TEST(BatchLineTest, EchoTakesEverythingAfterItsBlankAsText) {
  const BatchLine line = ParseBatchLine(
      "Echo Scanning D:\\Program Files & more, 100% | ^x <y>...\r");
  // The last ">" starts a redirection, so a ">" in the text needs a target.
  EXPECT_EQ(line.command, Command::kEcho);
  EXPECT_EQ(line.argument, "Scanning D:\\Program Files & more, 100% | ^x <y");
  EXPECT_EQ(line.redirection, Redirection::kReplace);
  EXPECT_EQ(line.target, "...");

  const BatchLine plain =
      ParseBatchLine("Echo  two blanks & %PATH% | more ^ <in, kept ");
  EXPECT_EQ(plain.command, Command::kEcho);
  EXPECT_EQ(plain.argument, " two blanks & %PATH% | more ^ <in, kept ");
  EXPECT_EQ(plain.redirection, Redirection::kNone);

  EXPECT_EQ(ParseBatchLine("Echo").command, Command::kEcho);
  EXPECT_EQ(ParseBatchLine("Echo").argument, "");
}

TEST(BatchLineTest, EchoRedirectionStartsAtTheLastGreaterThan) {
  const BatchLine replace = ParseBatchLine("Echo OK! > C:\\tmp\\Signal.txt");
  EXPECT_EQ(replace.argument, "OK! ");
  EXPECT_EQ(replace.redirection, Redirection::kReplace);
  EXPECT_EQ(replace.target, "C:\\tmp\\Signal.txt");

  const BatchLine append = ParseBatchLine("Echo a > b >>  C:\\My Log.txt  ");
  EXPECT_EQ(append.argument, "a > b ");
  EXPECT_EQ(append.redirection, Redirection::kAppend);
  EXPECT_EQ(append.target, "C:\\My Log.txt");

  const BatchLine tight = ParseBatchLine("Echo x>>F");
  EXPECT_EQ(tight.argument, "x");
  EXPECT_EQ(tight.redirection, Redirection::kAppend);
  EXPECT_EQ(tight.target, "F");
}

TEST(BatchLineTest, AProgressLineIsTextWhateverItsFolderHolds) {
  const BatchLine line = ParseBatchLine("Echo Now scanning C:\a>C:\b > x...");
  EXPECT_EQ(line.command, Command::kEcho);
  EXPECT_EQ(line.redirection, Redirection::kNone);
  EXPECT_EQ(line.argument, "Now scanning C:\a>C:\b > x...");
}

TEST(BatchLineTest, DelAndCdTakeTheRestOfTheLineAsOnePath) {
  const BatchLine del = ParseBatchLine("Del C:\\tmp\\My Signal, & more.txt\r");
  EXPECT_EQ(del.command, Command::kDel);
  EXPECT_EQ(del.argument, "C:\\tmp\\My Signal, & more.txt");

  const BatchLine root = ParseBatchLine("Cd\\");
  EXPECT_EQ(root.command, Command::kCd);
  EXPECT_EQ(root.argument, "\\");

  const BatchLine folder = ParseBatchLine("cd D:\\Program Files & more");
  EXPECT_EQ(folder.command, Command::kCd);
  EXPECT_EQ(folder.argument, "D:\\Program Files & more");

  EXPECT_EQ(ParseBatchLine("CD..").argument, "..");
  EXPECT_EQ(ParseBatchLine("Del").command, Command::kUnknown);
  EXPECT_EQ(ParseBatchLine("Cd").command, Command::kUnknown);
  EXPECT_EQ(ParseBatchLine("Delete x").command, Command::kUnknown);
}

TEST(BatchLineTest, DirPathIsEverythingBeforeTheTrailingSwitches) {
  const BatchLine whole =
      ParseBatchLine("Dir C:\\* /s /b > C:\\tmp\\Trovane.txt");
  EXPECT_EQ(whole.command, Command::kDir);
  EXPECT_EQ(whole.argument, "C:\\*");
  EXPECT_EQ(whole.redirection, Redirection::kReplace);
  EXPECT_EQ(whole.target, "C:\\tmp\\Trovane.txt");

  const BatchLine odd = ParseBatchLine(
      "Dir D:\\Program Files & more\\a > b, c /s /b >> C:\\tmp\\Trovane.txt\r");
  EXPECT_EQ(odd.argument, "D:\\Program Files & more\\a > b, c");
  EXPECT_EQ(odd.redirection, Redirection::kAppend);
  EXPECT_EQ(odd.target, "C:\\tmp\\Trovane.txt");

  const BatchLine unredirected = ParseBatchLine("DIR c:\\x /B /S");
  EXPECT_EQ(unredirected.command, Command::kDir);
  EXPECT_EQ(unredirected.argument, "c:\\x");
  EXPECT_EQ(unredirected.redirection, Redirection::kNone);

  const BatchLine here = ParseBatchLine("Dir /s /b");
  EXPECT_EQ(here.command, Command::kDir);
  EXPECT_EQ(here.argument, "");
}

TEST(BatchLineTest, LinesOfOtherShapesAreUnknown) {
  for (const char* line :
       {"Dir C:\\x", "Dir C:\\x /s", "Dir C:\\x /s /b >", "Dir C:\\x /s /b foo",
        "Copy a b", "Rem comment", "Echo.", "Echoes x", "Echo x >", ":label",
        "C:\\run.exe", "Directory x /s /b"}) {
    EXPECT_EQ(ParseBatchLine(line).command, Command::kUnknown) << line;
  }
}

}  // namespace
}  // namespace trovane
