#include "trovane-cmd/listing_writer.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tests/support/failing_file_system.h"
#include "tests/support/memory_file_system.h"

namespace trovane::testing {
namespace {

class ListingWriterTest : public ::testing::Test {
 protected:
  std::unique_ptr<WritableFile> OpenMap() {
    return files_.OpenWritable("C:\\map.txt", WriteMode::kReplace,
                               OpenOptions{});
  }

  MemoryFileSystem disk_;
  FailingFileSystem files_{disk_};
};

TEST_F(ListingWriterTest, LinesArriveWholeAndInOrderAcrossManyChunks) {
  const std::unique_ptr<WritableFile> map = OpenMap();
  std::string expected;
  {
    // Chunks far smaller than the listing, and folders of lines longer
    // than a chunk.
    ListingWriter writer(*map, 64);
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
  EXPECT_EQ(disk_.Read("map.txt"), expected);
}

TEST_F(ListingWriterTest, ASmallListingIsWrittenAtFlush) {
  const std::unique_ptr<WritableFile> map = OpenMap();
  ListingWriter writer(*map);
  writer.Write("C:\\a\r\n", 1);
  EXPECT_EQ(disk_.Read("map.txt"), "");
  EXPECT_TRUE(writer.Flush());
  EXPECT_EQ(disk_.Read("map.txt"), "C:\\a\r\n");
}

TEST_F(ListingWriterTest, AFailedWriteIsReported) {
  files_.Fail(FailingFileSystem::Operation::kWrite);
  const std::unique_ptr<WritableFile> map = OpenMap();
  ListingWriter small(*map);
  small.Write("C:\\a\r\n", 1);
  EXPECT_FALSE(small.Flush());

  // A failure is told at the write that meets it, so that the listing
  // stops there.
  ListingWriter large(*map, 16);
  EXPECT_FALSE(large.Write("C:\\some long name\r\n", 1));
  EXPECT_FALSE(large.Write("C:\\a\r\n", 1));
  EXPECT_FALSE(large.Flush());
}

}  // namespace
}  // namespace trovane::testing
