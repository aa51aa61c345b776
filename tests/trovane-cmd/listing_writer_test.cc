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
    // Chunks far smaller than the listing, and one line longer than a
    // chunk.
    ListingWriter writer(fd.get(), 64);
    for (int i = 0; i < 20000; ++i) {
      const std::string name =
          "file " + std::to_string(i) + (i == 777 ? std::string(200, 'x') : "");
      writer.WriteLine("C:\\Some Folder", name);
      expected += "C:\\Some Folder\\" + name + "\r\n";
    }
    EXPECT_TRUE(writer.Flush());
    EXPECT_EQ(writer.lines(), 20000U);
  }
  EXPECT_EQ(sandbox_.Read("map.txt"), expected);
}

TEST_F(ListingWriterTest, ASmallListingIsWrittenAtFlush) {
  const UniqueFd fd = OpenMap(O_WRONLY);
  ListingWriter writer(fd.get());
  writer.WriteLine("C:", "a");
  EXPECT_EQ(sandbox_.Read("map.txt"), "");
  EXPECT_TRUE(writer.Flush());
  EXPECT_EQ(sandbox_.Read("map.txt"), "C:\\a\r\n");
}

TEST_F(ListingWriterTest, AFailedWriteIsReported) {
  const UniqueFd read_only = OpenMap(O_RDONLY);
  ListingWriter small(read_only.get());
  small.WriteLine("C:", "a");
  EXPECT_FALSE(small.Flush());

  ListingWriter large(read_only.get(), 16);
  for (int i = 0; i < 100; ++i) large.WriteLine("C:", "some name");
  EXPECT_FALSE(large.Flush());
}

}  // namespace
}  // namespace trovane::testing
