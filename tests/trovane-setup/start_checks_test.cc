// The checks a run passes before it writes anything, on a disk in memory:
// the executable in C:\Bin beside trovane-cmd, the run folder C:\Run and the
// temporary folder C:\Temp unless a case says otherwise.
#include "trovane-setup/start_checks.h"

#include <gmock/gmock.h>

#include <map>
#include <optional>
#include <string>
#include <variant>

#include "tests/support/fakes.h"
#include "tests/support/memory_file_system.h"
#include "tests/support/window_harness.h"

namespace trovane {
namespace {

using testing::FakeEnvironment;
using ::testing::HasSubstr;

enum class Chooser { kNone, kPicksRun, kCancels };

TEST(StartChecksTest, EachCheckStopsTheRunInOrderWithItsMessage) {
  testing::MemoryFileSystem files;
  for (const char* folder :
       {"Bin", "Run", "Run\nLine", "Run>x", "Temp", "T>g", "Locked"}) {
    files.MakeFolder(std::string("C:\\") + folder);
  }
  files.MakeReadOnly("C:\\Locked");
  files.Write("C:\\File", "");
  testing::RecordingLauncher launcher;

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
  const Case cases[] = {
      {"folder given", {}, "C:\\Run", "C:\\Bin", Chooser::kNone, "", "C:\\Run"},
      {"a Linux path, in drive form",
       {},
       "/drive/c/Run/./Sub/..",
       "C:\\Bin",
       Chooser::kNone,
       "",
       "C:\\Run"},
      {"executable's folder",
       {},
       std::nullopt,
       "C:\\Bin",
       Chooser::kNone,
       "",
       "C:\\Bin"},
      {"installed, no chooser",
       {},
       std::nullopt,
       "/usr/bin",
       Chooser::kNone,
       "trovane-setup's own folder /usr/bin cannot hold the run's files; give "
       "the "
       "run folder as an argument: trovane-setup FOLDER"},
      {"chooser picks",
       {},
       std::nullopt,
       "C:\\Gone",
       Chooser::kPicksRun,
       "",
       "C:\\Run"},
      {"chooser cancelled",
       {},
       std::nullopt,
       "C:\\Locked",
       Chooser::kCancels,
       "no run folder was chosen"},
      {"run folder missing before a bad temporary folder",
       {{"TEMP", "C:\\Gone"}},
       "C:\\Gone",
       "C:\\Bin",
       Chooser::kNone,
       "the run folder C:\\Gone does not exist"},
      {"run folder a file",
       {},
       "C:\\File",
       "C:\\Bin",
       Chooser::kNone,
       "is not a folder"},
      {"run folder on no drive",
       {},
       "Q:\\Run",
       "C:\\Bin",
       Chooser::kNone,
       "the run folder Q:\\Run is on no mapped drive"},
      {"run folder read-only",
       {},
       "C:\\Locked",
       "C:\\Bin",
       Chooser::kNone,
       "the run folder C:\\Locked cannot be written"},
      {"run folder with a line break",
       {},
       "C:\\Run\nLine",
       "C:\\Bin",
       Chooser::kNone,
       "the run folder holds a line break, another control character or one "
       "of * ? \" < > |"},
      {"run folder with a >",
       {},
       "C:\\Run>x",
       "C:\\Bin",
       Chooser::kNone,
       "the run folder holds a line break"},
      {"line break in TEMP",
       {{"TEMP", "C:\\Run\nLine"}},
       "C:\\Run",
       "C:\\Bin",
       Chooser::kNone,
       "the temporary folder from TEMP holds a line break or another control "
       "character: set TEMP to"},
      {"> in TEMP",
       {{"TEMP", "C:\\T>g"}},
       "C:\\Run",
       "C:\\Bin",
       Chooser::kNone,
       "the temporary folder C:\\T>g from TEMP holds one of * ? \" < > |"},
      {"VEK before TEMP",
       {{"VEK", "C:\\Gone"}},
       "C:\\Run",
       "C:\\Bin",
       Chooser::kNone,
       "the temporary folder C:\\Gone from VEK does not exist: set VEK to"},
      {"no interpreter",
       {{"PATH", "/nonexistent"}},
       "C:\\Run",
       "C:\\Run",
       Chooser::kNone,
       "trovane-cmd, which runs the scan batch, is neither in C:\\Run nor on "
       "PATH"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakeEnvironment environment(c.executable_folder);
    // As a system whose drive C is the folder /drive/c names that path.
    environment.NameInDriveForm("/drive/c/Run/./Sub/..", "C:\\Run");
    std::map<std::string, std::optional<std::string>> variables = {
        {"TEMP", "C:\\Temp"}, {"PATH", "/usr/bin"}};
    for (const auto& [name, value] : c.variables) variables[name] = value;
    for (const auto& [name, value] : variables) {
      if (value) environment.Set(name, *value);
    }
    launcher.companions.clear();
    if (variables["PATH"] == "/usr/bin") {
      launcher.companions["trovane-cmd"] = "/usr/bin/trovane-cmd";
    }
    RunFolderQuestion ask;
    std::optional<std::string> asked_at;
    if (c.chooser != Chooser::kNone) {
      ask = [&c,
             &asked_at](const std::string& at) -> std::optional<std::string> {
        asked_at = at;
        if (c.chooser == Chooser::kCancels) return std::nullopt;
        return "C:\\Run";
      };
    }

    const std::variant<RunStart, std::string> start =
        CheckStart(environment, files, launcher, c.folder, ask);
    // The chooser opens at drive C, as the system names it.
    if (c.chooser != Chooser::kNone) {
      EXPECT_EQ(asked_at, "C:\\");
    }
    if (!c.message.empty()) {
      ASSERT_TRUE(std::holds_alternative<std::string>(start));
      EXPECT_THAT(std::get<std::string>(start), HasSubstr(c.message));
      continue;
    }
    ASSERT_TRUE(std::holds_alternative<RunStart>(start))
        << std::get<std::string>(start);
    EXPECT_EQ(std::get<RunStart>(start).run_folder, c.run_folder);
    EXPECT_EQ(std::get<RunStart>(start).interpreter, "/usr/bin/trovane-cmd");
  }
}

}  // namespace
}  // namespace trovane
