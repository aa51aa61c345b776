#include "trovane-cmd/listing_writer.h"

#include <fcntl.h>
#include <gtest/gtest.h>

#include <string>

#include "platform/linux/unique_fd.h"
#include "tests/support/sandbox.h"

namespace trovane::testing {
namespace {

class ListingWriterTest : public ::testing::Test {
 protected:
  UniqueFd OpenMap(int flags) {
    return UniqueFd(open(sandbox_.Path("map.txt").c_str(),
                         flags | O_CREAT | O_CLOEXEC, 0644));
  }

  Sandbox sandbox_;
};

TEST_F(ListingWriterTest, LinesArriveWholeAndInOrderAcrossManyChunks) {
  const UniqueFd fd = OpenMap(O_WRONLY);
  std::string expected;
  {
    // Chunks far smaller than the listing, and folders of lines longer
    // than a chunk.
    ListingWriter writer(fd.get(), 64);
    for (int i = 0; i < 20000; ++i) {
      const std::string line = "C:\\Some Folder\\file " + std::to_string(i) +
                               (i % 777 == 0 ? std::string(200, 'x') : "") +
                               "\r\n";
      EXPECT_TRUE(writer.Write(line + line, 2));
      expected += line + line;
    }
    EXPECT_TRUE(writer.Flush());
    EXPECT_EQ(writer.lines(), 40000U);
  }
  EXPECT_EQ(sandbox_.Read("map.txt"), expected);
}

TEST_F(ListingWriterTest, ASmallListingIsWrittenAtFlush) {
  const UniqueFd fd = OpenMap(O_WRONLY);
  ListingWriter writer(fd.get());
  writer.Write("C:\\a\r\n", 1);
  EXPECT_EQ(sandbox_.Read("map.txt"), "");
  EXPECT_TRUE(writer.Flush());
  EXPECT_EQ(sandbox_.Read("map.txt"), "C:\\a\r\n");
}

TEST_F(ListingWriterTest, AFailedWriteIsReported) {
  const UniqueFd read_only = OpenMap(O_RDONLY);
  ListingWriter small(read_only.get());
  small.Write("C:\\a\r\n", 1);
  EXPECT_FALSE(small.Flush());

  // A failure is told at the write that meets it, so that the listing
  // stops there.
  ListingWriter large(read_only.get(), 16);
  EXPECT_FALSE(large.Write("C:\\some long name\r\n", 1));
  EXPECT_FALSE(large.Write("C:\\a\r\n", 1));
  EXPECT_FALSE(large.Flush());
}

}  // namespace
}  // namespace trovane::testing
