// The built trovane-cmd, copied into a sandbox that is drive C and run
// there on a batch of the kind the program writes.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <thread>

#include "platform/linux/linux_file_system.h"
#include "tests/support/child_process.h"
#include "tests/support/sandbox.h"
#include "tests/support/text_files.h"

namespace trovane::testing {
namespace {

// While it lives, the processes started write no file beyond `bytes`:
// a write past that fails, as on a disk that has filled up.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    const rlimit lowered = {bytes, saved_.rlim_max};
    EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &lowered), 0);
    // The write fails rather than the signal ending the writer.
    saved_action_ = signal(SIGXFSZ, SIG_IGN);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    signal(SIGXFSZ, saved_action_);
  }

 private:
  rlimit saved_{};
  sighandler_t saved_action_ = SIG_DFL;
};

class EndToEndTest : public ::testing::Test {
 protected:
  EndToEndTest() {
    sandbox_.MakeFolder("Run");
    sandbox_.MakeFolder("tmp");
    std::filesystem::copy_file(TROVANE_CMD_PATH,
                               sandbox_.Path("Run/trovane-cmd"));
  }

  // Runs the copied interpreter in C:\Run with `arguments`, drive C mapped
  // by `drive_c` ("VEK_DRIVE_C=" and the sandbox by default).
  int RunCmd(std::vector<std::string> arguments, std::string drive_c = {}) {
    arguments.insert(arguments.begin(), sandbox_.Path("Run/trovane-cmd"));
    if (drive_c.empty()) drive_c = "VEK_DRIVE_C=" + sandbox_.root();
    return RunToEnd({.arguments = std::move(arguments),
                     .environment = {drive_c},
                     .folder = sandbox_.Path("Run"),
                     .out_path = sandbox_.Path("out.txt"),
                     .err_path = sandbox_.Path("err.txt")});
  }

  Sandbox sandbox_;
};

TEST_F(EndToEndTest, RunsTheScanBatchThatTheProgramWrites) {
  sandbox_.Write("Program Files & more/Game/run.exe", "");
  sandbox_.Write("Program Files & more/readme.txt", "");
  sandbox_.Write("tmp/Signal.txt", "stale");
  // A link planted at the disk map is removed, never written through.
  const Sandbox outside;
  outside.Write("precious.txt", "keep");
  ASSERT_EQ(symlink(outside.Path("precious.txt").c_str(),
                    sandbox_.Path("tmp/Trovane.txt").c_str()),
            0);
  sandbox_.Write("Run/Map.bat",
                 "@Echo off\r\n"
                 "Echo This batch is harmless, it only scans the disk.\r\n"
                 "Echo Innitiating...\r\n"
                 "Del C:\\tmp\\Signal.txt\r\n"
                 "Cd\\\r\n"
                 "Echo Now scanning C:\\Program Files & more...\r\n"
                 "Dir C:\\Program Files & more /s /b > C:\\tmp\\Trovane.txt\r\n"
                 "Dir C:\\Run\\*.bat /s /b >> C:\\tmp\\Trovane.txt\r\n"
                 "Echo Finnishing...\r\n"
                 "Echo OK! > C:\\tmp\\Signal.txt\r\n"
                 "Echo DONE!\r\n");
  EXPECT_EQ(RunCmd({"C:\\Run\\Map.Bat"}), 0);
  EXPECT_EQ(sandbox_.Read("tmp/Trovane.txt"),
            "C:\\Program Files & more\\Game\r\n"
            "C:\\Program Files & more\\readme.txt\r\n"
            "C:\\Program Files & more\\Game\\run.exe\r\n"
            "C:\\Run\\Map.bat\r\n");
  EXPECT_EQ(sandbox_.Read("tmp/Signal.txt"), "OK! \r\n");
  EXPECT_EQ(outside.Read("precious.txt"), "keep");
  EXPECT_EQ(sandbox_.Read("out.txt"),
            "This batch is harmless, it only scans the disk.\r\n"
            "Innitiating...\r\n"
            "Now scanning C:\\Program Files & more...\r\n"
            "Finnishing...\r\n"
            "DONE!\r\n");
  EXPECT_EQ(sandbox_.Read("err.txt"), "");
}

TEST_F(EndToEndTest, TheDiskMapHoldsWhatFindSeesLessHiddenEntries) {
  for (const char* file :
       {"Data/a.txt", "Data/B.TXT", "Data/b.txt", "Data/Sub/c d.exe",
        "Data/Sub/Deeper/e", "Data/Program Files & more/x,y&z", "Data/.hidden",
        "Data/.git/config", "Data/Sub/.cache/deep/f", "Data/_under",
        "Data/[bracket]"}) {
    sandbox_.Write(file, "");
  }
  sandbox_.MakeFolder("Data/Empty");
  ASSERT_EQ(symlink(sandbox_.Path("Run").c_str(),
                    sandbox_.Path("Data/Sub/to run").c_str()),
            0);
  ASSERT_EQ(symlink("missing", sandbox_.Path("Data/dangling").c_str()), 0);
  sandbox_.Write("Run/Map.bat",
                 "Dir C:\\Data\\* /s /b > C:\\tmp\\Trovane.txt\r\n");
  ASSERT_EQ(RunCmd({"C:\\Run\\Map.bat"}), 0);

  ASSERT_EQ(
      RunToEnd({.arguments = {"find", sandbox_.Path("Data"), "-mindepth", "1"},
                .folder = sandbox_.root(),
                .out_path = sandbox_.Path("find.txt")}),
      0);
  std::set<std::string> expected;
  const std::string found = sandbox_.Read("find.txt");
  const std::string prefix = sandbox_.root() + "/";
  size_t start = 0;
  while (start < found.size()) {
    const size_t end = found.find('\n', start);
    std::string path = found.substr(start, end - start);
    start = end + 1;
    ASSERT_EQ(path.compare(0, prefix.size(), prefix), 0) << path;
    path.erase(0, prefix.size());
    if (path.find("/.") != std::string::npos) continue;
    std::replace(path.begin(), path.end(), '/', '\\');
    expected.insert("C:\\" + path);
  }
  const std::vector<std::string> listed =
      CrLfLines(sandbox_.Read("tmp/Trovane.txt"));
  EXPECT_EQ(std::set<std::string>(listed.begin(), listed.end()), expected);
  EXPECT_EQ(listed.size(), expected.size()) << "no line twice";
  EXPECT_EQ(expected.size(), 14U);
}

TEST_F(EndToEndTest, ExitStatusTellsWhetherTheBatchRan) {
  sandbox_.Write("Run/Map.bat", "Bogus line\r\n");
  EXPECT_EQ(RunCmd({"C:\\Run\\Map.bat"}), 0);
  EXPECT_EQ(sandbox_.Read("err.txt"), "Unknown command: Bogus line\n");
  EXPECT_EQ(RunCmd({sandbox_.Path("Run/Map.bat")}), 0) << "a Linux path";
  EXPECT_EQ(RunCmd({"C:\\Run\\Missing.bat"}), 1);
  // A disk map that cannot be written whole ends the batch before its
  // completion signal.
  for (int i = 0; i < 100; ++i) {
    sandbox_.Write("Data/" + std::string(60, 'x') + std::to_string(i), "");
  }
  sandbox_.Write("Run/Full.bat",
                 "Dir C:\\Data /s /b > C:\\tmp\\Trovane.txt\r\n"
                 "Echo OK! > C:\\tmp\\Signal.txt\r\n");
  {
    const FileSizeLimit full(4096);
    EXPECT_EQ(RunCmd({"C:\\Run\\Full.bat"}), 4);
  }
  EXPECT_FALSE(sandbox_.Exists("tmp/Signal.txt"));
  EXPECT_EQ(sandbox_.Read("err.txt"),
            "Writing to C:\\tmp\\Trovane.txt failed: the batch stops here\n");
  // Only an ordinary file is a target: a device is never written, and the
  // batch goes on.
  sandbox_.Write("Run/Device.bat",
                 "Dir C:\\Run /s /b > /dev/full\r\n"
                 "Echo OK! > C:\\tmp\\Signal.txt\r\n");
  EXPECT_EQ(RunCmd({"C:\\Run\\Device.bat"}), 0);
  EXPECT_EQ(sandbox_.Read("err.txt"), "Cannot write to /dev/full\n");
  EXPECT_TRUE(sandbox_.Exists("tmp/Signal.txt"));
  EXPECT_EQ(RunCmd({"C:\\Run\\Map.bat"}, "VEK_DRIVE_C=rel/x"), 3);
  EXPECT_EQ(sandbox_.Read("err.txt"),
            "VEK_DRIVE_C is \"rel/x\": set it to the absolute path of an "
            "existing folder, or unset it.\n");
  for (const std::vector<std::string>& wrong :
       std::vector<std::vector<std::string>>{
           {}, {"a", "b"}, {"--bogus"}, {"--help", "C:\\Run\\Map.bat"}}) {
    EXPECT_EQ(RunCmd(wrong), 2);
    EXPECT_TRUE(
        sandbox_.Read("err.txt").starts_with("Usage: trovane-cmd FILE\n"));
  }
}

// An earlier run's interpreter, stopped or stuck, still writing the disk
// map: this one waits for it rather than writing across its lines.
TEST_F(EndToEndTest, AnInterpreterStillWritingTheDiskMapIsWaitedFor) {
  sandbox_.Write("Data/a", "");
  sandbox_.Write("tmp/Trovane.txt", "the earlier run's lines\r\n");
  sandbox_.Write("Run/Map.bat",
                 "Dir C:\\Data /s /b > C:\\tmp\\Trovane.txt\r\n");
  LinuxFileSystem files = sandbox_.Files();
  std::unique_ptr<WritableFile> earlier = files.OpenWritable(
      "C:\\tmp\\Trovane.txt", WriteMode::kAppend, {.lock = true});
  ASSERT_NE(earlier, nullptr);
  EXPECT_TRUE(files.InUse("C:\\tmp\\Trovane.txt"));
  ChildProcess child(
      {.arguments = {sandbox_.Path("Run/trovane-cmd"), "C:\\Run\\Map.bat"},
       .environment = {"VEK_DRIVE_C=" + sandbox_.root()},
       .folder = sandbox_.Path("Run")});
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_EQ(sandbox_.Read("tmp/Trovane.txt"), "the earlier run's lines\r\n");
  earlier->Write("and its last\r\n");
  earlier->Close();
  EXPECT_EQ(child.Wait(), 0);
  EXPECT_EQ(sandbox_.Read("tmp/Trovane.txt"), "C:\\Data\\a\r\n");
  EXPECT_FALSE(files.InUse("C:\\tmp\\Trovane.txt"));
}

TEST_F(EndToEndTest, HelpAndVersionAnswerWithoutABatchOrADriveMap) {
  EXPECT_EQ(RunCmd({"--version"}, "VEK_DRIVE_C="), 0);
  EXPECT_EQ(sandbox_.Read("out.txt"), "Trovane Setup 3.02.0004\n");
  EXPECT_EQ(RunCmd({"--help"}, "VEK_DRIVE_C="), 0);
  EXPECT_TRUE(sandbox_.Read("out.txt").starts_with(
      "Usage: trovane-cmd FILE\n       trovane-cmd --help | --version\n"));
  EXPECT_EQ(sandbox_.Read("err.txt"), "");
}

}  // namespace
}  // namespace trovane::testing
