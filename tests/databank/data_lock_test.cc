// The swap file as a lock between processes: live holders are waited for,
// dead ones are recovered, and a process killed in the middle of a Set
// never costs the databank an entry whose Set had returned.
#include <gmock/gmock.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <iostream>
#include <random>
#include <set>

#include "platform/text.h"
#include "tests/databank/databank_fixture.h"

namespace trovane::testing {
namespace {

// A databank layer of its own, as a second process builds it.
struct Process {
  explicit Process(const Sandbox& sandbox)
      : files(sandbox.Files()),
        environment(sandbox.Path("Run")),
        data(files, clock, environment) {
    environment.Set("TEMP", sandbox.Path("Temp"));
    data.OpenDatabankAccess();
  }
  LinuxFileSystem files;
  SystemClock clock;
  FakeEnvironment environment;
  Data data;
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
  for (const auto& entry :
       std::filesystem::directory_iterator(sandbox.Path("Temp"))) {
    leftovers.push_back(entry.path().filename());
  }
  if (sandbox.Exists(".Trovane.trovane-new")) {
    leftovers.push_back(".Trovane.trovane-new");
  }
  return leftovers;
}

TEST_F(DatabankTest, StaleSwapFileIsRecoveredNotWaitedOn) {
  sandbox_.Write("Trovane", "A=1\r\n");
  sandbox_.Write("Temp/DSP.Root.Trovane.TMP", "left by a process that died");
  OpenLogged();
  data_.Set("C:\\Trovane", "B", "2");
  EXPECT_EQ(sandbox_.Read("Trovane"), "A=1\r\nB=2\r\n");
  EXPECT_EQ(IoLog().front(),
            "!!! Swap conflict [C:\\Temp\\DSP.Root.Trovane.TMP]");
  EXPECT_THAT(LeftoverFiles(sandbox_), ::testing::IsEmpty());
}

TEST_F(DatabankTest, SwapFileIsNeverOpenedThroughASymbolicLink) {
  sandbox_.Write("Trovane", "A=1\r\n");
  sandbox_.Write("victim.txt", "precious");
  std::filesystem::create_symlink(sandbox_.Path("victim.txt"),
                                  sandbox_.Path("Temp/DSP.Root.Trovane.TMP"));
  data_.Set("C:\\Trovane", "B", "2");
  EXPECT_EQ(sandbox_.Read("victim.txt"), "precious");
  EXPECT_EQ(sandbox_.Read("Trovane"), "A=1\r\nB=2\r\n");
  EXPECT_FALSE(sandbox_.Exists("Temp/DSP.Root.Trovane.TMP"));
}

TEST_F(DatabankTest, WaitsForALiveHolderAtAModestPace) {
  sandbox_.Write("Trovane", "A=1\r\n");
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const pid_t holder = fork();
  ASSERT_GE(holder, 0);
  if (holder == 0) {
    Process process(sandbox_);
    const SwapAllocation swap = process.data.AllocateSwap("C:\\Trovane");
    const char byte = swap.lock ? 1 : 0;
    (void)!write(ready[1], &byte, 1);
    usleep(300 * 1000);
    _exit(0);
  }
  char byte = 0;
  ASSERT_EQ(read(ready[0], &byte, 1), 1);
  ASSERT_EQ(byte, 1);

  Process waiter(sandbox_);
  waiter.data.StartDatabankLog(false);
  waiter.data.Set("C:\\Trovane", "B", "2");
  waitpid(holder, nullptr, 0);
  EXPECT_EQ(sandbox_.Read("Trovane"), "A=1\r\nB=2\r\n");

  int conflicts = 0;
  for (const std::string& line :
       CrLfLines(sandbox_.Read("Run/Database_IO.log"))) {
    if (line.find("| !!! Swap conflict [C:\\Temp\\DSP.Root.Trovane.TMP]") !=
        std::string::npos) {
      ++conflicts;
    }
  }
  // Tens of milliseconds apart over the holder's 300 ms: a handful of
  // tests, not the thousands a tight loop would log.
  EXPECT_GE(conflicts, 2);
  EXPECT_LE(conflicts, 40);
  close(ready[0]);
  close(ready[1]);
}

TEST_F(DatabankTest, ConcurrentWritersLoseNoUpdate) {
  constexpr int kWriters = 4;
  constexpr int kKeysEach = 40;
  std::vector<pid_t> writers;
  for (int w = 0; w < kWriters; ++w) {
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      Process process(sandbox_);
      for (int k = 0; k < kKeysEach; ++k) {
        process.data.Set("C:\\Trovane",
                         "W" + std::to_string(w) + "K" + std::to_string(k),
                         std::to_string(k));
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
  EXPECT_EQ(keys.size(), static_cast<size_t>(kWriters * kKeysEach));
  EXPECT_THAT(duplicates, ::testing::IsEmpty());
  EXPECT_THAT(LeftoverFiles(sandbox_), ::testing::IsEmpty());
}

TEST_F(DatabankTest, KillingAWriterAtRandomMomentsLosesNothingReturned) {
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
    usleep(static_cast<useconds_t>(delay_us(random)));
    kill(writer, SIGKILL);
    waitpid(writer, nullptr, 0);
    int k = 0;
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
  // The kills must have landed among Sets, not only before the first one.
  EXPECT_GT(returned.size(), static_cast<size_t>(kRounds));
  std::cout << returned.size() << " Sets returned before their writer was "
            << "killed\n";
}

}  // namespace
}  // namespace trovane::testing
