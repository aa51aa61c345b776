// Finding the companion interpreter and starting it detached.
#include "platform/process.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/fakes.h"
#include "tests/support/sandbox.h"

namespace trovane {
namespace {

using ::trovane::testing::FakeEnvironment;
using ::trovane::testing::Sandbox;

void WriteProgram(const Sandbox& sandbox, std::string_view relative) {
  sandbox.Write(relative, "#!/bin/sh\n");
  ASSERT_EQ(chmod(sandbox.Path(relative).c_str(), 0755), 0);
}

// True when this process has no child left, running or a zombie.
bool HasNoChildren() {
  return waitpid(-1, nullptr, WNOHANG) < 0 && errno == ECHILD;
}

TEST(FindCompanionTest, BesideTheProgramFirstThenOnPath) {
  Sandbox sandbox;
  WriteProgram(sandbox, "Bin/trovane-cmd");
  WriteProgram(sandbox, "Tools/trovane-cmd");
  sandbox.Write("Plain/trovane-cmd", "not executable");
  sandbox.MakeFolder("Dirs/trovane-cmd");
  const std::string path = sandbox.Path("Plain") + ":" + sandbox.Path("Dirs") +
                           ":" + sandbox.Path("Tools");

  FakeEnvironment beside(sandbox.Path("Bin"));
  beside.Set("PATH", path);
  EXPECT_EQ(FindCompanion("trovane-cmd", beside),
            sandbox.Path("Bin/trovane-cmd"));

  // A folder of that name is no program, beside the program or on PATH.
  FakeEnvironment on_path(sandbox.Path("Dirs"));
  on_path.Set("PATH", path);
  EXPECT_EQ(FindCompanion("trovane-cmd", on_path),
            sandbox.Path("Tools/trovane-cmd"));

  FakeEnvironment nowhere(sandbox.Path("Plain"));
  nowhere.Set("PATH", sandbox.Path("Plain") + ":" + sandbox.Path("Dirs"));
  EXPECT_EQ(FindCompanion("trovane-cmd", nowhere), "");
}

TEST(DetachedLauncherTest, StartsTheProgramOnItsOwnAndWatchesItsEnd) {
  Sandbox sandbox;
  const std::string report = sandbox.Path("report.txt");
  // The script reports its standard input and error, its session and the
  // listing count it was handed, then gives the report its name in one
  // step and waits to be told to end.
  const std::string script =
      "{ readlink /proc/$$/fd/0; readlink /proc/$$/fd/2;"
      " cut -d' ' -f6 /proc/$$/stat; readlink /proc/$$/fd/$" +
      std::string(ListingCount::kVariable) +
      "; } > \"$1.part\" && mv \"$1.part\" \"$1\";"
      " while [ ! -e \"$1.end\" ]; do sleep 0.01; done";
  const std::unique_ptr<ListingCount> count = ListingCount::Create();
  ASSERT_NE(count, nullptr);
  DetachedLauncher launcher;
  const std::unique_ptr<StartedProcess> started = launcher.StartDetached(
      "/bin/sh", {"-c", script, "sh", report}, count.get());
  ASSERT_NE(started, nullptr);
  EXPECT_TRUE(HasNoChildren());

  for (int i = 0; i < 500 && !sandbox.Exists("report.txt"); ++i) {
    usleep(10000);
  }
  ASSERT_TRUE(sandbox.Exists("report.txt"));
  std::istringstream lines(sandbox.Read("report.txt"));
  std::string input;
  std::string error;
  pid_t session = 0;
  std::string shared;
  lines >> input >> error >> session >> shared;
  EXPECT_EQ(input, "/dev/null");
  EXPECT_EQ(error, "/dev/null");
  EXPECT_GT(session, 0);
  EXPECT_NE(session, getsid(0));
  EXPECT_THAT(shared, ::testing::HasSubstr("trovane-listing-count"));

  EXPECT_FALSE(started->Ended());
  sandbox.Write("report.txt.end", "");
  pollfd end{started->EndFd(), POLLIN, 0};
  EXPECT_EQ(poll(&end, 1, 10000), 1);
  EXPECT_TRUE(started->Ended());
}

TEST(DetachedLauncherTest, ProgramThatCannotStartGivesNoProcess) {
  Sandbox sandbox;
  sandbox.Write("plain", "not executable");
  DetachedLauncher launcher;
  EXPECT_EQ(launcher.StartDetached(sandbox.Path("missing"), {}, nullptr),
            nullptr);
  EXPECT_EQ(launcher.StartDetached(sandbox.Path("plain"), {"x"}, nullptr),
            nullptr);
  EXPECT_TRUE(HasNoChildren());
}

}  // namespace
}  // namespace trovane
