// What the Linux reader tells of a folder besides its entries: which
// folder it is and when it changed, for telling a folder's state apart
// without reading it; and that it finds the starting folder by its drive
// form.
#include "trovane-cmd/linux/linux_folder_reader.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "tests/support/sandbox.h"

namespace trovane::testing {
namespace {

TEST(LinuxFolderReaderTest, AStampTellsTheFolderAndWhenItsEntriesChanged) {
  Sandbox sandbox;
  sandbox.MakeFolder("A/Sub");
  sandbox.MakeFolder("B");
  // A known time, so that nothing hangs on the clock's resolution.
  const timespec times[2] = {{1'000'000'000, 5}, {1'200'000'000, 123'456'789}};
  ASSERT_EQ(utimensat(AT_FDCWD, sandbox.Path("A/Sub").c_str(), times, 0), 0);

  LinuxFolderReader reader{PathView(sandbox.Drives(), sandbox.root()),
                           PseudoMounts()};
  const FolderReader::FolderPtr a = reader.OpenStart("C:\\A");
  ASSERT_NE(a, nullptr);
  const FolderReader::FolderPtr sub = reader.OpenSubfolder(a, "Sub");
  // The starting folder by its drive form, found whatever the case.
  const FolderReader::FolderPtr again = reader.OpenStart("c:\\b\\..\\a\\SUB");
  const FolderReader::FolderPtr b = reader.OpenStart("C:\\B");
  ASSERT_NE(sub, nullptr);
  ASSERT_NE(again, nullptr);
  ASSERT_NE(b, nullptr);

  const FolderStamp stamp = reader.Stamp(*sub);
  EXPECT_EQ(stamp.modified_ns, 1'200'000'000'123'456'789);
  EXPECT_GT(stamp.changed_ns, 0);
  EXPECT_EQ(reader.Stamp(*again).id, stamp.id);
  EXPECT_EQ(reader.Stamp(*again).volume, stamp.volume);
  EXPECT_NE(reader.Stamp(*b).id, stamp.id);
  EXPECT_EQ(reader.OpenStart("Q:\\A"), nullptr) << "an unmapped drive";
}

}  // namespace
}  // namespace trovane::testing
