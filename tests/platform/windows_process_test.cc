// Processes on Windows: the launcher that finds a companion and starts it
// in a console of its own, the listing count it hands over, the one wait
// over handles, and the standard streams' bytes.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <string>

#include "platform/listing_count.h"
#include "platform/process.h"
#include "platform/waitable.h"
#include "tests/support/fakes.h"
#include "tests/support/windows_child.h"
#include "tests/support/windows_sandbox.h"

namespace trovane {
namespace {

using testing::FakeEnvironment;

TEST(WindowsProcessTest, CompanionIsFoundBesideTheProgramThenOnThePath) {
  testing::WindowsSandbox sandbox;
  sandbox.Write("Bin\\trovane-cmd.exe", "");
  sandbox.Write("Tools\\helper.exe", "");
  sandbox.Write("Tools\\trovane-cmd.exe", "");
  FakeEnvironment environment(sandbox.Path("Bin"));
  environment.Set("PATH", "C:\\Gone;;\"" + sandbox.Path("Tools") + "\"");
  const std::unique_ptr<ProcessLauncher> launcher =
      MakeProcessLauncher(environment);
  EXPECT_EQ(launcher->FindCompanion("trovane-cmd"),
            sandbox.Path("Bin\\trovane-cmd.exe"));
  EXPECT_EQ(launcher->FindCompanion("helper"),
            sandbox.Path("Tools\\helper.exe"));
  EXPECT_EQ(launcher->FindCompanion("HELPER.EXE"),
            sandbox.Path("Tools\\HELPER.EXE"));
  EXPECT_EQ(launcher->FindCompanion("missing"), "");
}

// The companion runs in the folder it is given, gets its arguments whole,
// blanks and quotes and all, and counts through the listing count.
TEST(WindowsProcessTest, StartedProgramGetsItsFolderArgumentsAndCount) {
  testing::WindowsSandbox sandbox;
  sandbox.MakeFolder("Run Folder");
  FakeEnvironment environment(sandbox.root());
  const std::unique_ptr<ProcessLauncher> launcher =
      MakeProcessLauncher(environment);
  const std::string report = sandbox.Path("report.txt");
  const std::unique_ptr<StartedProcess> started = launcher->StartDetached(
      testing::BesideThisProgram("windows_test_child.exe"),
      {"count", report, "C:\\Temp Folder\\Map.bat", "say \"hi\"", "end\\"},
      sandbox.Path("Run Folder"), /*error_file=*/"");
  ASSERT_NE(started, nullptr);
  const Waitable end[] = {started->EndWaker()};
  ASSERT_EQ(WaitForAny(end, std::chrono::seconds(20)), 0U);
  EXPECT_TRUE(started->Ended());
  EXPECT_EQ(started->ListedPaths(), 42U);
  EXPECT_EQ(sandbox.Read("report.txt"),
            sandbox.Path("Run Folder") +
                "|C:\\Temp Folder\\Map.bat|say \"hi\"|end\\");
}

TEST(WindowsProcessTest, ListingCountIsSharedThroughTheHandleItNames) {
  const std::unique_ptr<ListingCount> made = ListingCount::Create();
  ASSERT_NE(made, nullptr);
  FakeEnvironment environment("C:\\");
  environment.Set(ListingCount::kVariable, std::to_string(made->native()));
  const std::unique_ptr<ListingCount> inherited =
      ListingCount::Inherited(environment);
  ASSERT_NE(inherited, nullptr);
  inherited->Publish(1'234'567);
  EXPECT_EQ(made->Read(), 1'234'567U);

  // A number that names no mapping, or nothing, is left alone.
  const HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  for (const std::string& setting :
       {std::to_string(reinterpret_cast<intptr_t>(event)), std::string("12x"),
        std::string("")}) {
    SCOPED_TRACE(setting);
    environment.Set(ListingCount::kVariable, setting);
    EXPECT_EQ(ListingCount::Inherited(environment), nullptr);
  }
  EXPECT_NE(WaitForSingleObject(event, 0), WAIT_FAILED);
  CloseHandle(event);
}

TEST(WindowsProcessTest, WaitReturnsTheReadyHandlesPlaceOrTimesOut) {
  const HANDLE quiet = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  const HANDLE ready = CreateEventW(nullptr, TRUE, TRUE, nullptr);
  const Waitable waitables[] = {Waitable(),
                                Waitable(reinterpret_cast<intptr_t>(quiet)),
                                Waitable(reinterpret_cast<intptr_t>(ready))};
  EXPECT_EQ(WaitForAny(waitables, std::chrono::seconds(5)), 2U);
  ResetEvent(ready);
  EXPECT_EQ(WaitForAny(waitables, std::chrono::milliseconds(20)), std::nullopt);
  EXPECT_EQ(WaitForAny(std::span<const Waitable>(waitables, 1),
                       std::chrono::milliseconds(20)),
            std::nullopt);
  CloseHandle(quiet);
  CloseHandle(ready);
}

// No C library text mode between the program and a file: line ends as
// written.
TEST(WindowsProcessTest, StandardStreamsPassTheirBytesAsTheyAre) {
  testing::WindowsSandbox sandbox;
  EXPECT_EQ(
      testing::RunWindowsChild(
          {.arguments = {testing::BesideThisProgram("windows_test_child.exe"),
                         "console"},
           .out_path = sandbox.Path("out.txt"),
           .err_path = sandbox.Path("err.txt")}),
      0);
  EXPECT_EQ(sandbox.Read("out.txt"), "out\r\nline\n");
  EXPECT_EQ(sandbox.Read("err.txt"), "err\r\n");
}

}  // namespace
}  // namespace trovane
