// "Dir PATH /s /b" on the real disk, read by the Linux reader: hidden
// names, links, permissions, names no drive path can hold, trees deeper
// than a path can name, pseudo file systems, and a disk map that lies in
// the folder it lists.
#include <fcntl.h>
#include <gmock/gmock.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "platform/linux/unique_fd.h"
#include "tests/support/text_files.h"
#include "tests/trovane-cmd/disk_interpreter_fixture.h"
#include "trovane-cmd/linux/linux_folder_reader.h"

namespace trovane::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

using LinuxListingTest = DiskInterpreterTest;

TEST_F(LinuxListingTest, HiddenEntriesAreNeitherListedNorEntered) {
  sandbox_.Write("T/.profile", "");
  sandbox_.Write("T/.git/config", "");
  sandbox_.Write("T/Sub/.cache/x", "");
  sandbox_.Write("T/Sub/seen", "");
  EXPECT_THAT(Listing("C:\\T"), ElementsAre("C:\\T\\Sub", "C:\\T\\Sub\\seen"));
  EXPECT_THAT(Listing("C:\\T\\*config*"), IsEmpty());
}

TEST_F(LinuxListingTest, SymbolicLinksAreListedButNeverFollowed) {
  sandbox_.Write("Elsewhere/secret", "");
  sandbox_.Write("T/file", "");
  ASSERT_EQ(symlink(sandbox_.Path("Elsewhere").c_str(),
                    sandbox_.Path("T/to folder").c_str()),
            0);
  ASSERT_EQ(symlink("file", sandbox_.Path("T/to file").c_str()), 0);
  ASSERT_EQ(symlink("nowhere", sandbox_.Path("T/dangling").c_str()), 0);
  EXPECT_THAT(Listing("C:\\T"),
              ElementsAre("C:\\T\\dangling", "C:\\T\\file", "C:\\T\\to file",
                          "C:\\T\\to folder"));
}

TEST_F(LinuxListingTest, AFolderThatCannotBeReadIsPassedOver) {
  sandbox_.Write("T/Locked/inside", "");
  sandbox_.Write("T/Open/inside", "");
  ASSERT_EQ(chmod(sandbox_.Path("T/Locked").c_str(), 0), 0);
  // Root reads folders whatever their permissions: the listing runs in a
  // process that has given root up, writing where any user may.
  ASSERT_EQ(chmod(sandbox_.root().c_str(), 0777), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) {
      _exit(1);
    }
    interpreter_->RunLine("Dir C:\\T /s /b > C:\\map.txt");
    _exit(0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_THAT(
      CrLfLines(sandbox_.Read("map.txt")),
      ElementsAre("C:\\T\\Locked", "C:\\T\\Open", "C:\\T\\Open\\inside"));
}

TEST_F(LinuxListingTest, NamesNoDrivePathCanHoldAreNeitherListedNorEntered) {
  // A name that would forge a line of the disk map, and others a drive
  // path cannot hold; a folder of such a name is not entered either.
  sandbox_.Write("T/p\r\nC:\\Private\\secret\\wanted5.dll", "");
  sandbox_.Write("T/evil\nC:\\Windows/inside.exe", "");
  for (const char* name : {"T/a|b", "T/trailing.", "T/trailing ", "T/q?"}) {
    sandbox_.Write(name, "");
  }
  sandbox_.Write("T/plain.txt", "");
  EXPECT_THAT(Listing("C:\\T"), ElementsAre("C:\\T\\plain.txt"));
  EXPECT_EQ(Err(), "Passed over 6 names that no drive path can hold\n");
  EXPECT_THAT(Listing("C:\\T\\*.dll"), IsEmpty());
  EXPECT_EQ(Err(),
            "Passed over 6 names that no drive path can hold\n"
            "Passed over 6 names that no drive path can hold\n"
            "File Not Found\n");
}

TEST_F(LinuxListingTest, TreesDeeperThanAPathCanNameAreListedWhole) {
  // Paths of several times what the system opens at once, and an empty
  // folder beside each folder on the way, which keeps the folders above it
  // wanted until the end: listed in a process that may open far fewer
  // descriptors than the tree has levels. The second tree is opened from
  // the deepest descriptor held, by paths cut in pieces.
  struct Case {
    std::string name;
    int depth;
    int deep_anchors;
  };
  for (const Case& tree : {Case{"d", 3000, LinuxFolderReader::kDeepAnchors},
                           Case{std::string(200, 'n'), 150, 0}}) {
    ASSERT_TRUE(sandbox_.MakeChain("T", tree.name, tree.depth));
    std::vector<std::string> expected;
    std::string shown = "C:\\T";
    for (int level = 0; level < tree.depth; ++level) {
      expected.push_back(shown + "\\" + tree.name);
      expected.push_back(shown + "\\s");
      shown += "\\" + tree.name;
    }
    expected.push_back(shown + "\\bottom");
    UseFolderReader(std::make_unique<LinuxFolderReader>(
        PathView(sandbox_.Drives(), sandbox_.root()), PseudoMounts(),
        tree.deep_anchors));

    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      const rlimit few = {200, 200};
      if (setrlimit(RLIMIT_NOFILE, &few) != 0) _exit(1);
      interpreter_->RunLine("Dir C:\\T /s /b > C:\\map.txt");
      _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_THAT(CrLfLines(sandbox_.Read("map.txt")), ElementsAreArray(expected))
        << tree.depth << " levels";
    sandbox_.RemoveChain("T", tree.name);
  }
}

TEST_F(LinuxListingTest, PseudoFileSystemsAreListedButNotEntered) {
  sandbox_.Write("T/proc/1/status", "");
  sandbox_.Write("T/real/file", "");
  UsePseudoMounts(PseudoMounts::FromMountInfo(
      "22 1 0:21 / " + sandbox_.Path("T/proc") + " rw - proc proc rw\n"));
  EXPECT_THAT(Listing("C:\\T"),
              ElementsAre("C:\\T\\proc", "C:\\T\\real", "C:\\T\\real\\file"));
}

TEST_F(LinuxListingTest, AFolderOnAPseudoFileSystemIsNotRead) {
  sandbox_.Write("T/file", "");
  struct stat info;
  ASSERT_EQ(stat(sandbox_.Path("T").c_str(), &info), 0);
  UsePseudoMounts(
      PseudoMounts::FromMountInfo("22 1 " + std::to_string(major(info.st_dev)) +
                                  ":" + std::to_string(minor(info.st_dev)) +
                                  " / /elsewhere rw - sysfs sysfs rw\n"));
  EXPECT_THAT(Listing("C:\\T"), IsEmpty());
  EXPECT_EQ(Err(), "File Not Found\n");
}

TEST_F(LinuxListingTest, TheMapIsListedWhenItLiesInTheScannedFolder) {
  sandbox_.Write("T/a", "");
  Run({"Dir C:\\T /s /b > C:\\T\\Map.txt"});
  EXPECT_THAT(CrLfLines(sandbox_.Read("T/Map.txt")),
              ElementsAre("C:\\T\\a", "C:\\T\\Map.txt"));
}

}  // namespace
}  // namespace trovane::testing
