// Whole runs against what a hostile environment or a careless user leaves
// on the disk: nothing outside the sandbox's drive C changes, and a run
// held up by another run's lock still ends when it is told to.
#include <fcntl.h>
#include <gmock/gmock.h>
#include <signal.h>
#include <sys/mount.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>

#include "platform/linux/linux_locks.h"
#include "platform/linux/unique_fd.h"
#include "platform/text.h"
#include "tests/e2e/program_run.h"

namespace trovane::testing {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsSupersetOf;
using ::testing::Not;

// A folder outside drive C, with a file a hostile link may aim at.
struct Outside {
  Outside() { sandbox.Write("victim.txt", "precious"); }
  std::string Victim() const { return sandbox.Path("victim.txt"); }
  bool Untouched() const {
    return sandbox.Read("victim.txt") == "precious" &&
           !sandbox.Exists("made.txt") &&
           std::distance(std::filesystem::directory_iterator(sandbox.root()),
                         std::filesystem::directory_iterator()) == 1;
  }
  Sandbox sandbox;
};

void Link(const Sandbox& sandbox, const std::string& target,
          std::string_view name) {
  std::filesystem::create_symlink(target, sandbox.Path(name));
}

TEST(HostileTest, NothingOutsideTheDriveChanges) {
  const struct {
    const char* what;
    std::function<void(ProgramRun&, const Outside&)> plant;
    std::function<void(const ProgramRun&)> check;
  } kCases[] = {
      {"a stored location that climbs above the drive",
       [](ProgramRun& run, const Outside&) {
         run.sandbox.MakeFolder("outside");
         run.sandbox.Write("Trovane", "Up=C:\\..\\outside\r\n");
         run.sandbox.Write("Run/FileList.txt", "Up=outside\r\n");
       },
       [](const ProgramRun& run) {
         // ".." stops at the drive's root: the folder tested is C:\outside.
         EXPECT_TRUE(run.sandbox.Exists("outside/VEKcreate.dir"));
       }},
      {"a folder list that climbs above the drive",
       [](ProgramRun& run, const Outside&) {
         run.sandbox.Write("etc/only-here.cfg", "");
         run.sandbox.Write("Run/Map.txt", "C:\\..\\..\\..\\..\\etc\\*\r\n");
         run.sandbox.Write("Run/FileList.txt", "Cfg=only-here.cfg\r\n");
       },
       [](const ProgramRun& run) {
         const std::vector<std::string> map =
             CrLfLines(run.sandbox.Read("Temp/Trovane.txt"));
         EXPECT_THAT(map, ElementsAre(HasSubstr("only-here.cfg")));
       }},
      {"a folder marker that is a link",
       [](ProgramRun& run, const Outside& outside) {
         run.sandbox.MakeFolder("Data");
         Link(run.sandbox, outside.Victim(), "Data/VEKcreate.dir");
         run.sandbox.Write("Trovane", "Data=C:\\DATA\r\n");
         run.sandbox.Write("Run/FileList.txt", "Data=data\r\n");
       },
       [](const ProgramRun&) {}},
      {"a repair's marker that is a dangling link",
       [](ProgramRun& run, const Outside& outside) {
         run.sandbox.MakeFolder("Vek/Logs");
         Link(run.sandbox, outside.sandbox.Path("made.txt"),
              "Vek/Logs/VEKcreate.dir");
         run.sandbox.Write("Trovane", "Logs=C:\\VEK\\LOGS\r\n");
         run.sandbox.Write("Run/MustExist.txt", "Logs=DIR\r\n");
       },
       [](const ProgramRun& run) {
         EXPECT_THAT(run.ActivityLog(),
                     IsSupersetOf({"Attempting to create directory",
                                   "Failed; line removed"}));
       }},
      {"a disk map that is a link",
       [](ProgramRun& run, const Outside& outside) {
         run.sandbox.Write("Apps/Tool.exe", "MZ");
         Link(run.sandbox, outside.Victim(), "Temp/Trovane.txt");
         run.sandbox.Write("Run/FileList.txt", "Tool=tool.exe\r\n");
       },
       [](const ProgramRun& run) {
         EXPECT_FALSE(
             std::filesystem::is_symlink(run.sandbox.Path("Temp/Trovane.txt")));
         EXPECT_THAT(run.sandbox.Read("Trovane"),
                     HasSubstr("Tool=C:\\APPS\\TOOL.EXE"));
       }},
  };
  for (const auto& test : kCases) {
    SCOPED_TRACE(test.what);
    ProgramRun run;
    Outside outside;
    test.plant(run, outside);
    const int status = run.Run();
    EXPECT_TRUE(status == 0 || status == 1) << status;
    EXPECT_TRUE(outside.Untouched());
    test.check(run);
  }
}

// Another run holds the databank's folder, whatever its temporary folder:
// the run waits, looking less and less often, and a signal still ends it.
TEST(HostileTest, ASignalEndsARunWaitingForAnotherRunsLock) {
  ProgramRun run;
  run.sandbox.Write("Run/FileList.txt", "A=a.exe\r\n");
  run.sandbox.Write("Trovane", "INTERNAL FLAG = EXISTS!\r\n");
  // The lock of the databank's folder, as another run holds it.
  const LockClaim other = ClaimFolder(run.sandbox.root());
  ASSERT_EQ(other.outcome, LockClaim::Outcome::kTaken);
  run.Start();
  ASSERT_TRUE(run.WaitForLog("Innitializing database"));
  std::this_thread::sleep_for(std::chrono::seconds(2));
  const auto signalled = std::chrono::steady_clock::now();
  EXPECT_EQ(run.Stop(SIGTERM), 2);
  EXPECT_LT(std::chrono::steady_clock::now() - signalled,
            std::chrono::seconds(1));
  const std::vector<std::string> io =
      LogMessages(run.sandbox.Read("Run/Database_IO.log"));
  const auto conflicts = std::count_if(
      io.begin(), io.end(),
      [](const std::string& line) { return line.starts_with("!!! Swap"); });
  // Looks after 25, 75, 175, 375, 775 and 1575 ms: not hundreds.
  EXPECT_GE(conflicts, 4);
  EXPECT_LE(conflicts, 8);
  const std::vector<std::string> log = run.ActivityLog();
  ASSERT_GE(log.size(), 2U);
  EXPECT_THAT(std::vector<std::string>(log.end() - 2, log.end()),
              ElementsAre("About to exit", "Cleanup"));
  EXPECT_EQ(run.sandbox.Read("Trovane"), "INTERNAL FLAG = EXISTS!\r\n");
}

// Another user shares the temporary folder and plants there the disk map and
// the completion signal a run would read: the run keeps its own files in a
// folder of its user's alone and records only what its listing saw.
TEST(HostileTest, FilesAnotherUserPlantsInASharedTemporaryFolderDecideNothing) {
  ProgramRun run;
  run.sandbox.Write("Apps/wanted5.dll", "MZ");
  run.sandbox.Write("Run/FileList.txt", "Five=wanted5.dll\r\n");
  const std::string forged = "C:\\PRIVATE\\SECRET\\WANTED5.DLL\r\n";
  run.sandbox.Write("Temp/Trovane.txt", forged);
  run.sandbox.Write("Temp/Signal.txt", "OK! \r\n");
  std::filesystem::permissions(
      run.sandbox.Path("Temp"),
      std::filesystem::perms::all | std::filesystem::perms::sticky_bit);
  if (geteuid() == 0) {
    // As the other user would own them (nobody).
    for (const char* planted : {"Temp/Trovane.txt", "Temp/Signal.txt"}) {
      ASSERT_EQ(chown(run.sandbox.Path(planted).c_str(), 65534, 65534), 0);
    }
  }
  EXPECT_EQ(run.Run(), 0) << run.ErrorOutput();
  EXPECT_THAT(run.sandbox.Read("Trovane"),
              HasSubstr("Five=C:\\APPS\\WANTED5.DLL\r\n"));
  EXPECT_THAT(run.sandbox.Read("Trovane"), Not(HasSubstr("SECRET")));
  EXPECT_EQ(run.sandbox.Read("Temp/Trovane.txt"), forged);
  const std::string own = "Temp/trovane-" + std::to_string(geteuid());
  EXPECT_THAT(run.sandbox.Read(own + "/Trovane.txt"),
              HasSubstr("C:\\Apps\\wanted5.dll\r\n"));
  EXPECT_EQ(std::filesystem::status(run.sandbox.Path(own)).permissions(),
            std::filesystem::perms::owner_all);
}

// A tree far deeper than the longest path the system opens at once: the
// scan batch's listing goes down to the bottom, path whole, and ends with
// its signal, so the search reads a whole listing; the entry found there
// stands the double-check and stays in the databank.
TEST(HostileTest, AnEntryThreeThousandFoldersDeepIsFoundAndKept) {
  ProgramRun run;
  run.sandbox.Write("Run/FileList.txt", "Deep=bottom\r\n");
  constexpr int kDepth = 3000;
  ASSERT_TRUE(run.sandbox.MakeChain("Deep", "d", kDepth));
  std::string path = "C:\\Deep";
  for (int level = 0; level < kDepth; ++level) path += "\\d";
  run.Run();
  const std::vector<std::string> map =
      CrLfLines(run.sandbox.Read("Temp/Trovane.txt"));
  const auto listed = [&map](const std::string& line) {
    return std::find(map.begin(), map.end(), line) != map.end();
  };
  EXPECT_TRUE(listed(path + "\\bottom"));
  EXPECT_TRUE(listed(path.substr(0, path.size() - 2) + "\\s"));
  EXPECT_THAT(run.ActivityLog(), Contains("Finnished"));
  // Upper-cased, as the scan records every path it finds.
  const std::string entry = "\r\nDeep=" + UpperAscii(path) + "\\BOTTOM\r\n";
  EXPECT_TRUE(run.sandbox.Read("Trovane").find(entry) != std::string::npos);
  run.sandbox.RemoveChain("Deep", "d");
}

// A temporary folder on a file system too small for the disk map: the
// listing's write fails, so the batch ends without its signal, and the run
// stops rather than search a listing cut short. Mounting needs root; the
// test is skipped elsewhere.
TEST(HostileTest, ADiskMapCutShortByAFullTemporaryFolderIsNeverSearched) {
  ProgramRun run;
  run.sandbox.MakeFolder("Temp");
  const std::string temp = run.sandbox.Path("Temp");
  if (mount("none", temp.c_str(), "tmpfs", 0, "size=64k") != 0) {
    GTEST_SKIP() << "a tmpfs cannot be mounted here (not root)";
  }
  const struct Unmount {
    ~Unmount() { umount2(path.c_str(), MNT_DETACH); }
    std::string path;
  } unmount{temp};
  // About 200 KB of listing; the wanted file comes last.
  for (int i = 0; i < 4000; ++i) {
    run.sandbox.Write("Data/Entry number " + std::to_string(i) + ".txt", "");
  }
  run.sandbox.Write("Data/zzz.dll", "");
  run.sandbox.Write("Run/FileList.txt", "Wanted=zzz.dll\r\n");

  EXPECT_EQ(run.Run(), 2);
  EXPECT_THAT(run.ErrorOutput(),
              HasSubstr("The scan batch ended without writing its completion "
                        "signal"));
  EXPECT_THAT(run.sandbox.Read("Run/Map.err"),
              HasSubstr("failed: the batch stops here"));
  EXPECT_THAT(run.ActivityLog(), Not(Contains("About to begin search")));
}

}  // namespace
}  // namespace trovane::testing
