// The databank on the real disk: the locks between processes, whatever
// their temporary folders; a process killed in the middle of a Set never
// costs the databank an entry whose Set had returned; and a rewrite keeps
// the databank's permissions, owner and link.
#include <gmock/gmock.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <iostream>
#include <random>
#include <set>

#include "databank/data.h"
#include "platform/linux/linux_file_system.h"
#include "tests/support/fakes.h"
#include "tests/support/sandbox.h"
#include "tests/support/text_files.h"

namespace trovane::testing {
namespace {

// A databank layer of its own, as a run in another process builds it, with
// the temporary folder `temporary` below the sandbox.
struct Process {
  explicit Process(const Sandbox& sandbox,
                   const std::string& temporary = "Temp")
      : files(sandbox.Files()),
        environment("C:\\Run"),
        data(files, FileNumbers::Process(), clock, environment) {
    environment.Set("TEMP", "C:\\" + temporary);
    data.OpenDatabankAccess();
  }
  LinuxFileSystem files;
  SystemClock clock;
  FakeEnvironment environment;
  Data data;
};

class DatabankDiskTest : public ::testing::Test {
 protected:
  DatabankDiskTest() {
    for (const char* folder : {"Run", "Temp", "Temp2"}) {
      sandbox_.MakeFolder(folder);
    }
  }
  Sandbox sandbox_;
};

std::set<std::string> Keys(const std::string& content,
                           std::vector<std::string>* duplicates) {
  std::set<std::string> keys;
  for (const std::string& line : CrLfLines(content)) {
    const std::string key(SplitEntry(line).key);
    if (!keys.insert(key).second) duplicates->push_back(key);
  }
  return keys;
}

std::vector<std::string> LeftoverFiles(const Sandbox& sandbox) {
  std::vector<std::string> leftovers;
  for (const char* folder : {"Temp", "Temp2"}) {
    for (const auto& entry :
         std::filesystem::directory_iterator(sandbox.Path(folder))) {
      leftovers.push_back(entry.path().filename());
    }
  }
  if (sandbox.Exists(".Trovane.trovane-new")) {
    leftovers.push_back(".Trovane.trovane-new");
  }
  return leftovers;
}

// Runs that share a databank exclude each other whatever their temporary
// folders: half the writers use one, half another.
TEST_F(DatabankDiskTest, ConcurrentWritersLoseNoLineOldOrNew) {
  constexpr int kRounds = 3;
  constexpr int kOldLines = 2000;
  constexpr int kWriters = 4;
  constexpr int kKeysEach = 40;
  std::string old_content;
  for (int i = 0; i < kOldLines; ++i) {
    old_content +=
        "Old" + std::to_string(i) + "=C:\\OLD\\" + std::to_string(i) + "\r\n";
  }
  for (int round = 0; round < kRounds; ++round) {
    sandbox_.Write("Trovane", old_content);
    std::vector<pid_t> writers;
    for (int w = 0; w < kWriters; ++w) {
      const pid_t pid = fork();
      ASSERT_GE(pid, 0);
      if (pid == 0) {
        // New keys are appended; every fourth Set replaces an old one,
        // which rewrites the whole databank.
        Process process(sandbox_, w % 2 == 0 ? "Temp" : "Temp2");
        for (int k = 0; k < kKeysEach; ++k) {
          process.data.Set("C:\\Trovane",
                           "W" + std::to_string(w) + "K" + std::to_string(k),
                           std::to_string(k));
          if (k % 4 == 0) {
            process.data.Set("C:\\Trovane",
                             "Old" + std::to_string(w * kKeysEach + k),
                             "replaced");
          }
        }
        _exit(0);
      }
      writers.push_back(pid);
    }
    for (const pid_t pid : writers) {
      int status = 0;
      waitpid(pid, &status, 0);
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    std::vector<std::string> duplicates;
    const std::set<std::string> keys =
        Keys(sandbox_.Read("Trovane"), &duplicates);
    ASSERT_EQ(keys.size(),
              static_cast<size_t>(kOldLines + kWriters * kKeysEach))
        << "round " << round;
    ASSERT_THAT(duplicates, ::testing::IsEmpty());
    ASSERT_THAT(LeftoverFiles(sandbox_), ::testing::IsEmpty());
  }
}

TEST_F(DatabankDiskTest, KillingAWriterAtRandomMomentsLosesNothingReturned) {
  constexpr int kRounds = 250;
  std::mt19937 random(20261208);
  std::uniform_int_distribution<int> delay_us(0, 12000);
  std::set<std::string> returned;
  for (int round = 0; round < kRounds; ++round) {
    int acknowledged[2];
    ASSERT_EQ(pipe(acknowledged), 0);
    const pid_t writer = fork();
    ASSERT_GE(writer, 0);
    if (writer == 0) {
      close(acknowledged[0]);
      Process process(sandbox_);
      process.data.StartDatabankLog(false);
      for (int k = 0;; ++k) {
        process.data.Set("C:\\Trovane",
                         "R" + std::to_string(round) + "K" + std::to_string(k),
                         "value " + std::to_string(k));
        (void)!write(acknowledged[1], &k, sizeof k);
      }
    }
    close(acknowledged[1]);
    // The kill lands among Sets: after the first has returned.
    int k = 0;
    ASSERT_EQ(read(acknowledged[0], &k, sizeof k), sizeof k);
    returned.insert("R" + std::to_string(round) + "K0");
    usleep(static_cast<useconds_t>(delay_us(random)));
    kill(writer, SIGKILL);
    waitpid(writer, nullptr, 0);
    while (read(acknowledged[0], &k, sizeof k) == sizeof k) {
      returned.insert("R" + std::to_string(round) + "K" + std::to_string(k));
    }
    close(acknowledged[0]);

    // The next Set recovers whatever the killed one left and goes ahead.
    Process next(sandbox_);
    next.data.Set("C:\\Trovane", "Survivor", std::to_string(round));
    std::vector<std::string> duplicates;
    const std::set<std::string> keys =
        Keys(sandbox_.Read("Trovane"), &duplicates);
    for (const std::string& key : returned) {
      ASSERT_EQ(keys.count(key), 1U) << key << " lost after round " << round;
    }
    ASSERT_EQ(keys.count("Survivor"), 1U);
    ASSERT_THAT(duplicates, ::testing::IsEmpty());
    ASSERT_THAT(LeftoverFiles(sandbox_), ::testing::IsEmpty());
  }
  std::cout << returned.size() << " Sets returned before their writer was "
            << "killed\n";
}

TEST_F(DatabankDiskTest, ARewriteKeepsPermissionsOwnerAndLink) {
  sandbox_.Write("Shared/bank.dat", "A=1\r\n");
  const std::string shared = sandbox_.Path("Shared/bank.dat");
  ASSERT_EQ(chmod(shared.c_str(), 0640), 0);
  // Only root can give a file away; anyone else keeps their own.
  const uid_t owner = getuid() == 0 ? 65534 : getuid();
  ASSERT_EQ(chown(shared.c_str(), owner, static_cast<gid_t>(-1)), 0);
  std::filesystem::create_symlink(shared, sandbox_.Path("Trovane"));
  // The link is the file's owner's, or it would not be followed.
  ASSERT_EQ(
      lchown(sandbox_.Path("Trovane").c_str(), owner, static_cast<gid_t>(-1)),
      0);

  Process process(sandbox_);
  process.data.Set("C:\\Trovane", "B", "2");
  process.data.Set("C:\\Trovane", "A", "");

  EXPECT_TRUE(std::filesystem::is_symlink(sandbox_.Path("Trovane")));
  EXPECT_EQ(sandbox_.Read("Shared/bank.dat"), "B=2\r\n");
  struct stat info;
  ASSERT_EQ(stat(shared.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640U);
  EXPECT_EQ(info.st_uid, owner);
  EXPECT_FALSE(sandbox_.Exists("Shared/.bank.dat.trovane-new"));
}

}  // namespace
}  // namespace trovane::testing
