// Open files: their numbers, reading lines, fields and bytes, and writing
// CR LF lines.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/file_numbers.h"
#include "platform/linux/linux_file_system.h"
#include "platform/linux/linux_locks.h"
#include "tests/support/sandbox.h"

namespace trovane {
namespace {

using ::trovane::testing::Sandbox;

// An open file as the table sees it: something CloseAll() can close.
struct FakeOpenFile : FileNumbers::Holder {
  void CloseForAll() override { closed = true; }
  bool closed = false;
};

TEST(FileNumbersTest, HandsOutTheLowestFreeNumber) {
  FileNumbers table;
  FakeOpenFile file;
  FileNumbers::Lease first = table.Take(&file);
  FileNumbers::Lease second = table.Take(&file);
  FileNumbers::Lease third = table.Take(nullptr);
  EXPECT_EQ(first.number(), 1);
  EXPECT_EQ(second.number(), 2);
  EXPECT_EQ(third.number(), 3);

  second.Release();
  EXPECT_EQ(second.number(), 2);  // still readable for the logs
  FileNumbers::Lease fourth = table.Take(&file);
  EXPECT_EQ(fourth.number(), 2);
  EXPECT_EQ(table.OpenCount(), 3);
}

TEST(FileNumbersTest, TheFileAfterTheHighestNumberGetsNone) {
  FileNumbers table;
  FakeOpenFile file;
  std::vector<FileNumbers::Lease> leases;
  for (int i = 1; i <= FileNumbers::kHighest; ++i) {
    leases.push_back(table.Take(&file));
    ASSERT_EQ(leases.back().number(), i);
  }
  EXPECT_EQ(table.Take(&file).number(), 0);
  EXPECT_EQ(table.OpenCount(), FileNumbers::kHighest);

  leases[99] = FileNumbers::Lease();  // ending a lease frees number 100
  EXPECT_EQ(table.Take(&file).number(), 100);
}

TEST(FileNumbersTest, CloseAllClosesEachFileOnceAndSparesLaterOnes) {
  FileNumbers table;
  FakeOpenFile old_file;
  std::optional<FileNumbers::Lease> stale(table.Take(&old_file));
  table.CloseAll();
  EXPECT_TRUE(old_file.closed);
  EXPECT_EQ(table.OpenCount(), 0);
  EXPECT_EQ(stale->number(), 1);

  // The number comes round again; the stale lease must not free it.
  FakeOpenFile fresh_file;
  FileNumbers::Lease fresh = table.Take(&fresh_file);
  EXPECT_EQ(fresh.number(), 1);
  stale.reset();
  EXPECT_EQ(table.OpenCount(), 1);
  EXPECT_FALSE(fresh_file.closed);
}

class InputFileTest : public ::testing::Test {
 protected:
  std::unique_ptr<InputFile> Open(std::string_view content) {
    sandbox_.Write("in.txt", content);
    std::unique_ptr<InputFile> in = files_.OpenForReading("C:\\in.txt", {});
    EXPECT_NE(in, nullptr);
    return in;
  }
  std::vector<std::string> Lines(std::string_view content) {
    std::unique_ptr<InputFile> in = Open(content);
    std::vector<std::string> lines;
    for (std::string line; in && in->ReadLine(&line);) lines.push_back(line);
    return lines;
  }
  std::vector<std::string> Fields(std::string_view content) {
    std::unique_ptr<InputFile> in = Open(content);
    std::vector<std::string> fields;
    for (std::string f; in && in->ReadField(&f);) fields.push_back(f);
    return fields;
  }

  Sandbox sandbox_;
  LinuxFileSystem files_ = sandbox_.Files();
};

using Texts = std::vector<std::string>;

TEST_F(InputFileTest, LinesEndAtLfWithOrWithoutCr) {
  EXPECT_EQ(Lines("a\r\nb\nc"), (Texts{"a", "b", "c"}));
  EXPECT_EQ(Lines("a\rb\r\n\r\n\n"), (Texts{"a\rb", "", ""}));
  EXPECT_EQ(Lines("last\r"), (Texts{"last"}));
  EXPECT_EQ(Lines(""), Texts{});
  const std::string with_nul("x\0y\r\n", 5);
  EXPECT_EQ(Lines(with_nul), (Texts{std::string("x\0y", 3)}));
}

TEST_F(InputFileTest, LongLinesAndLineEndsAcrossReads) {
  const std::string huge(10 << 20, 'q');
  EXPECT_EQ(Lines(huge + "\r\ntail"), (Texts{huge, "tail"}));
  // 101-byte records over 10 MB: wherever the reads are cut, some CR falls
  // at the end of one read and its LF at the start of the next.
  const std::string record = std::string(99, 'r');
  std::string many;
  for (int i = 0; i < 100000; ++i) many += record + "\r\n";
  const Texts lines = Lines(many);
  ASSERT_EQ(lines.size(), 100000U);
  for (const std::string& line : lines) ASSERT_EQ(line, record);
}

TEST_F(InputFileTest, FieldsAreSplitAtCommasAndLineEnds) {
  EXPECT_EQ(Fields("A=x.exe, B=y.dll\r\nC=z\r\n"),
            (Texts{"A=x.exe", "B=y.dll", "C=z"}));
  EXPECT_EQ(Fields("   lead and trail   ,x\n"), (Texts{"lead and trail", "x"}));
  EXPECT_EQ(Fields("\tx\t\r\n"), (Texts{"\tx\t"}));  // blanks are spaces
  EXPECT_EQ(Fields("\r\n\nlast"), (Texts{"", "", "last"}));
}

TEST_F(InputFileTest, QuotesProtectCommasOnlyWhenTheyOpenTheField) {
  EXPECT_EQ(Fields("\"A=x, y.exe\"dropped,B\r\n"), (Texts{"A=x, y.exe", "B"}));
  EXPECT_EQ(Fields("  \" padded \" \r\nnext"), (Texts{" padded ", "next"}));
  EXPECT_EQ(Fields("A=\"x,y\"\r\n"), (Texts{"A=\"x", "y\""}));
  // A quote never closed ends with its line; the next line is its own.
  EXPECT_EQ(Fields("\"A=open, never closed\r\nB=kept\r\n"),
            (Texts{"A=open, never closed", "B=kept"}));
}

TEST_F(InputFileTest, TheFieldAtWhichTheFileEndsIsReturned) {
  std::unique_ptr<InputFile> in = Open("a,b");
  std::string field;
  ASSERT_TRUE(in->ReadField(&field));
  EXPECT_EQ(field, "a");
  EXPECT_FALSE(in->AtEnd());
  ASSERT_TRUE(in->ReadField(&field));
  EXPECT_EQ(field, "b");
  EXPECT_TRUE(in->AtEnd());
  EXPECT_FALSE(in->ReadField(&field));
  EXPECT_EQ(field, "");
}

TEST_F(InputFileTest, AByteOrderMarkIsPassedOverOnlyWhereAFileBegins) {
  const struct {
    std::string content;
    bool mark;
    std::string first_line;
  } cases[] = {
      {"\xEF\xBB\xBF"
       "A=x\r\n",
       true, "A=x"},
      {"\xEF\xBB\xBF", true, ""},
      {"\xEF\xBB"
       "A=x\r\n",
       false,
       "\xEF\xBB"
       "A=x"},  // not a whole mark
      {"A=\xEF\xBB\xBF\r\n", false, "A=\xEF\xBB\xBF"},
      {"", false, ""},
  };
  for (const auto& c : cases) {
    std::unique_ptr<InputFile> in = Open(c.content);
    EXPECT_EQ(in->SkipByteOrderMark(), c.mark) << c.content;
    std::string line;
    in->ReadLine(&line);
    EXPECT_EQ(line, c.first_line) << c.content;
  }
}

TEST_F(InputFileTest, ALineLongerThanTheLimitReadsAsEmptyAndIsPassedOver) {
  constexpr size_t kLimit = 100;
  const std::string longest(kLimit, 'k');
  const std::string longer(kLimit + 1, 'x');
  const std::string content = longest + "\r\n" + longer + "\r\n" + "\"" +
                              longer + "\",tail\r\n" + "a," + longer +
                              ",b\r\nlast";
  std::unique_ptr<InputFile> in = Open(content);
  in->LimitLines(kLimit);
  std::vector<std::pair<std::string, bool>> lines;
  for (std::string line; in->ReadLine(&line);) {
    lines.emplace_back(line, in->overlong());
  }
  EXPECT_EQ(lines,
            (std::vector<std::pair<std::string, bool>>{{longest, false},
                                                       {"", true},
                                                       {"", true},
                                                       {"", true},
                                                       {"last", false}}));

  in = Open(content);
  in->LimitLines(kLimit);
  std::vector<std::pair<std::string, bool>> fields;
  for (std::string field; in->ReadField(&field);) {
    fields.emplace_back(field, in->overlong());
  }
  // A field past the limit takes the rest of its line with it.
  EXPECT_EQ(fields,
            (std::vector<std::pair<std::string, bool>>{{longest, false},
                                                       {"", true},
                                                       {"", true},
                                                       {"a", false},
                                                       {"", true},
                                                       {"last", false}}));
}

TEST_F(InputFileTest, ReadBytesStopsShortAtTheEnd) {
  std::unique_ptr<InputFile> in = Open("OK! \r\n");
  char head[2];
  EXPECT_EQ(in->ReadBytes(head, sizeof head), 2U);
  EXPECT_EQ(std::string(head, 2), "OK");
  char rest[16];
  EXPECT_EQ(in->ReadBytes(rest, sizeof rest), 4U);
  EXPECT_EQ(std::string(rest, 4), "! \r\n");
  EXPECT_EQ(in->ReadBytes(rest, sizeof rest), 0U);
  EXPECT_TRUE(in->AtEnd());
}

TEST(OutputFileTest, LinesEndWithCrLf) {
  Sandbox sandbox;
  LinuxFileSystem files = sandbox.Files();
  std::unique_ptr<OutputFile> out = files.OpenForWriting("C:\\out.txt", {});
  ASSERT_NE(out, nullptr);
  out->Write("OK! ");
  out->WriteLine("");
  out->WriteLine("x");
  EXPECT_TRUE(out->Close());
  EXPECT_EQ(sandbox.Read("out.txt"), "OK! \r\nx\r\n");

  out = files.OpenForAppending("C:\\OUT.TXT", {});
  ASSERT_NE(out, nullptr);
  out->WriteLine("y");
  EXPECT_TRUE(out->Close());
  EXPECT_EQ(sandbox.Read("out.txt"), "OK! \r\nx\r\ny\r\n");

  out = files.OpenForWriting("C:\\out.txt", {});
  ASSERT_NE(out, nullptr);
  out->WriteLine("z");
  out.reset();  // closing on destruction writes out the rest
  EXPECT_EQ(sandbox.Read("out.txt"), "z\r\n");
}

TEST(OutputFileTest, FilesClosedByCloseAllFailOrReadAsEnded) {
  Sandbox sandbox;
  sandbox.Write("in.txt", "unread\r\n");
  FileNumbers table;
  LinuxFileSystem files(PathView(sandbox.Drives(), sandbox.root()), table);
  std::unique_ptr<OutputFile> out = files.OpenForWriting("C:\\out.txt", {});
  std::unique_ptr<InputFile> in = files.OpenForReading("C:\\in.txt", {});
  ASSERT_NE(out, nullptr);
  ASSERT_NE(in, nullptr);
  out->WriteLine("pending");
  table.CloseAll();

  // The program closes everything when a signal ends it; a call that the
  // signal interrupted leaves EINTR behind, which must not be taken for an
  // interrupted write or read that is worth retrying.
  errno = EINTR;
  EXPECT_FALSE(out->Close());
  EXPECT_FALSE(out->ok());
  EXPECT_EQ(sandbox.Read("out.txt"), "");
  errno = EINTR;
  std::string line;
  EXPECT_FALSE(in->ReadLine(&line));
  EXPECT_TRUE(in->AtEnd());
}

}  // namespace
}  // namespace trovane
