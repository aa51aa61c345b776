// Finding the companion interpreter and starting it detached.
#include "platform/process.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "platform/listing_count.h"
#include "platform/waitable.h"
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
  EXPECT_EQ(MakeProcessLauncher(beside)->FindCompanion("trovane-cmd"),
            sandbox.Path("Bin/trovane-cmd"));

  // A folder of that name is no program, beside the program or on PATH.
  FakeEnvironment on_path(sandbox.Path("Dirs"));
  on_path.Set("PATH", path);
  EXPECT_EQ(MakeProcessLauncher(on_path)->FindCompanion("trovane-cmd"),
            sandbox.Path("Tools/trovane-cmd"));

  FakeEnvironment nowhere(sandbox.Path("Plain"));
  nowhere.Set("PATH", sandbox.Path("Plain") + ":" + sandbox.Path("Dirs"));
  EXPECT_EQ(MakeProcessLauncher(nowhere)->FindCompanion("trovane-cmd"), "");
}

TEST(DetachedLauncherTest, StartsTheProgramOnItsOwnAndWatchesItsEnd) {
  Sandbox sandbox;
  const std::string report = sandbox.Path("report.txt");
  // The script reports its standard input and error, its session, the
  // listing count it was handed and its current folder, then publishes a
  // count, gives the report its name in one step and waits to be told to
  // end.
  const std::string script =
      "{ readlink /proc/$$/fd/0; readlink -f /proc/$$/fd/2;"
      " cut -d' ' -f6 /proc/$$/stat; readlink /proc/$$/fd/$" +
      std::string(ListingCount::kVariable) +
      "; pwd -P; } > \"$1.part\" && printf '\\005' 1<>/proc/$$/fd/$" +
      std::string(ListingCount::kVariable) +
      " && mv \"$1.part\" \"$1\";"
      " while [ ! -e \"$1.end\" ]; do sleep 0.01; done";
  sandbox.MakeFolder("Work");
  FakeEnvironment environment(sandbox.Path("Bin"));
  environment.Set("VEK_DRIVE_C", sandbox.root());
  // The folder's case is looked up, as for every drive-form path.
  const std::unique_ptr<StartedProcess> started =
      MakeProcessLauncher(environment)
          ->StartDetached("/bin/sh", {"-c", script, "sh", report}, "C:\\WORK",
                          "C:\\Work\\errors.txt");
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
  std::string folder;
  lines >> input >> error >> session >> std::ws;
  std::getline(lines, shared);
  std::getline(lines, folder);
  EXPECT_EQ(input, "/dev/null");
  EXPECT_EQ(error, std::filesystem::canonical(sandbox.Path("Work")).string() +
                       "/errors.txt");
  EXPECT_GT(session, 0);
  EXPECT_NE(session, getsid(0));
  EXPECT_THAT(shared, ::testing::HasSubstr("trovane-listing-count"));
  EXPECT_EQ(folder, std::filesystem::canonical(sandbox.Path("Work")).string());

  EXPECT_FALSE(started->Ended());
  EXPECT_EQ(started->ListedPaths(), 5U);  // the byte the script wrote
  sandbox.Write("report.txt.end", "");
  const Waitable end = started->EndWaker();
  EXPECT_EQ(WaitForAny({&end, 1}, std::chrono::seconds(10)),
            std::optional<size_t>(0));
  EXPECT_TRUE(started->Ended());
}

TEST(DetachedLauncherTest, ProgramThatCannotStartGivesNoProcess) {
  Sandbox sandbox;
  sandbox.Write("plain", "not executable");
  const FakeEnvironment environment(sandbox.Path("Bin"));
  const std::unique_ptr<ProcessLauncher> launcher =
      MakeProcessLauncher(environment);
  EXPECT_EQ(launcher->StartDetached(sandbox.Path("missing"), {}, "C:\\", ""),
            nullptr);
  EXPECT_EQ(launcher->StartDetached(sandbox.Path("plain"), {"x"}, "C:\\", ""),
            nullptr);
  EXPECT_TRUE(HasNoChildren());
}

}  // namespace
}  // namespace trovane
