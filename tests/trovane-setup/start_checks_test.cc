// The checks a run passes before it writes anything, over a sandbox that
// is drive C: the executable in C:\Bin beside trovane-cmd, the run folder
// C:\Run and the temporary folder C:\Temp unless a case says otherwise.
#include "trovane-setup/start_checks.h"

#include <gmock/gmock.h>
#include <sys/stat.h>

#include <map>
#include <optional>
#include <string>
#include <variant>

#include "tests/support/fakes.h"
#include "tests/support/sandbox.h"

namespace trovane {
namespace {

using testing::FakeEnvironment;
using ::testing::HasSubstr;
using testing::Sandbox;

enum class Chooser { kNone, kPicksRun, kCancels };

TEST(StartChecksTest, EachCheckStopsTheRunInOrderWithItsMessage) {
  Sandbox sandbox;
  sandbox.MakeFolder("Run");
  sandbox.MakeFolder("Run\nLine");
  sandbox.MakeFolder("Temp");
  sandbox.MakeFolder("prefix");
  sandbox.Write("File", "");
  sandbox.Write("Bin/trovane-cmd", "#!/bin/sh\n");
  ASSERT_EQ(chmod(sandbox.Path("Bin/trovane-cmd").c_str(), 0755), 0);
  const std::string& root = sandbox.root();

  struct Case {
    std::string what;
    // Set over the usual variables; a missing value unsets one.
    std::map<std::string, std::optional<std::string>> variables;
    std::optional<std::string> folder;
    std::string executable_folder;
    Chooser chooser;
    // The message's telling part, or, for a start, the run folder.
    std::string message;
    std::string run_folder = {};
  };
  const std::string bin = sandbox.Path("Bin");
  const std::string run = sandbox.Path("Run");
  const std::string gone = sandbox.Path("Gone");
  const Case cases[] = {
      {"folder given", {}, run, bin, Chooser::kNone, "", run},
      {"drive form, case ignored", {}, "C:\\RUN", bin, Chooser::kNone, "", run},
      {"executable's folder", {}, std::nullopt, bin, Chooser::kNone, "", bin},
      {"installed, no chooser",
       {},
       std::nullopt,
       "/usr/bin",
       Chooser::kNone,
       "the program's folder /usr/bin cannot hold the run's files; give the "
       "run folder as an argument: trovane-setup FOLDER"},
      {"chooser picks", {}, std::nullopt, gone, Chooser::kPicksRun, "", run},
      {"chooser cancelled",
       {},
       std::nullopt,
       gone,
       Chooser::kCancels,
       "no run folder was chosen"},
      {"bad drive variable before drive C",
       {{"VEK_DRIVE_C", std::nullopt}, {"VEK_DRIVE_D", "relative"}},
       run,
       bin,
       Chooser::kNone,
       "VEK_DRIVE_D is \"relative\""},
      {"drive C unmapped",
       {{"VEK_DRIVE_C", std::nullopt}, {"WINEPREFIX", sandbox.Path("prefix")}},
       run,
       bin,
       Chooser::kNone,
       "drive C is not mapped: set VEK_DRIVE_C to the folder that stands for "
       "drive C, or, with no VEK_DRIVE_ variable set, WINEPREFIX"},
      {"run folder missing before a bad temporary folder",
       {{"TEMP", gone}},
       gone,
       bin,
       Chooser::kNone,
       "the run folder " + gone + " does not exist"},
      {"run folder a file",
       {},
       sandbox.Path("File"),
       bin,
       Chooser::kNone,
       "is not a folder"},
      {"run folder on no drive",
       {},
       "Q:\\Run",
       bin,
       Chooser::kNone,
       "the run folder Q:\\Run is on no mapped drive"},
      {"line break in TEMP",
       {{"TEMP", sandbox.Path("Run\nLine")}},
       run,
       bin,
       Chooser::kNone,
       "the temporary folder from TEMP holds a line break or another control "
       "character: set TEMP to"},
      {"VEK before TEMP",
       {{"VEK", gone}},
       run,
       bin,
       Chooser::kNone,
       "the temporary folder " + gone + " from VEK does not exist: set VEK to"},
      {"run folder as temporary folder",
       {{"TEMP", std::nullopt}},
       sandbox.Path("Run\nLine"),
       bin,
       Chooser::kNone,
       "the run folder holds a line break or another control character, and "
       "with VEK, TEMP and TMP unset"},
      {"no interpreter",
       {{"PATH", "/nonexistent"}},
       run,
       run,
       Chooser::kNone,
       "trovane-cmd, which runs the scan batch, is neither in " + run +
           " nor on PATH"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakeEnvironment environment(c.executable_folder);
    std::map<std::string, std::optional<std::string>> variables = {
        {"VEK_DRIVE_C", root},
        {"TEMP", sandbox.Path("Temp")},
        {"PATH", bin},
        {"HOME", root}};
    for (const auto& [name, value] : c.variables) variables[name] = value;
    for (const auto& [name, value] : variables) {
      if (value) environment.Set(name, *value);
    }
    RunFolderQuestion ask;
    if (c.chooser != Chooser::kNone) {
      ask = [&c, &run]() -> std::optional<std::string> {
        if (c.chooser == Chooser::kCancels) return std::nullopt;
        return run;
      };
    }

    const std::variant<RunStart, std::string> start =
        CheckStart(environment, c.folder, ask);
    if (!c.message.empty()) {
      ASSERT_TRUE(std::holds_alternative<std::string>(start));
      EXPECT_THAT(std::get<std::string>(start), HasSubstr(c.message));
      continue;
    }
    ASSERT_TRUE(std::holds_alternative<RunStart>(start))
        << std::get<std::string>(start);
    EXPECT_EQ(std::get<RunStart>(start).run_folder, c.run_folder);
    EXPECT_EQ(std::get<RunStart>(start).interpreter, bin + "/trovane-cmd");
  }
}

}  // namespace
}  // namespace trovane
