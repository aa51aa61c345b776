#include "trovane-setup/start_checks.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <string_view>
#include <utility>

#include "analysis/disk_map_batch.h"
#include "databank/run_files.h"
#include "platform/linux/linux_folder.h"
#include "platform/linux/path_view.h"
#include "platform/process.h"

namespace trovane {
namespace {

constexpr char kInterpreterName[] = "trovane-cmd";

// Where an installed program lies. A user never wants the run's lists and
// logs there, not even one who may write there.
constexpr std::array<std::string_view, 7> kSystemProgramFolders = {
    "/usr/bin",   "/usr/local/bin",  "/bin", "/usr/sbin", "/sbin",
    "/usr/games", "/usr/local/games"};

// True when this process may make files in `linux_folder`, judged with its
// effective rights, as creating one there would be.
bool CanMakeFilesIn(const std::string& linux_folder) {
  return faccessat(AT_FDCWD, linux_folder.c_str(), W_OK | X_OK, AT_EACCESS) ==
         0;
}

bool CanHoldRunFiles(const std::string& linux_folder) {
  return std::ranges::find(kSystemProgramFolders,
                           NormalizeLinuxPath(linux_folder)) ==
             kSystemProgramFolders.end() &&
         IsLinuxFolder(linux_folder) && CanMakeFilesIn(linux_folder);
}

// Why the run cannot make its files in the folder `path`, a Linux path or a
// drive-form path, in a few words; empty when it can, with the folder's
// Linux path in `*linux_folder`.
std::string FolderProblem(const PathView& paths, const std::string& path,
                          std::string* linux_folder) {
  std::optional<std::string> linux = paths.ToLinux(path);
  // The run shows its folders in drive form, so they must have one.
  if (!linux || !HasDriveLetter(paths.ToDriveForm(*linux))) {
    return "is on no mapped drive";
  }
  if (access(linux->c_str(), F_OK) != 0) return "does not exist";
  if (!IsLinuxFolder(*linux)) return "is not a folder";
  if (!CanMakeFilesIn(*linux)) return "cannot be written";
  *linux_folder = std::move(*linux);
  return {};
}

std::string DriveCProblem(const DriveMap& drives) {
  const std::string* folder = drives.FolderOf('C');
  if (folder != nullptr && IsLinuxFolder(*folder)) return {};
  return "drive C is not mapped: set VEK_DRIVE_C to the folder that stands "
         "for drive C, or, with no VEK_DRIVE_ variable set, WINEPREFIX to a "
         "Wine prefix (a folder whose dosdevices/c: leads to drive C)";
}

// The run folder as the user named it, a Linux path or a drive-form path,
// in `*named`; or why there is none.
std::string NameRunFolder(const Environment& environment,
                          const std::optional<std::string>& folder,
                          const RunFolderQuestion& ask, std::string* named) {
  if (folder) {
    *named = *folder;
    return {};
  }
  std::string program_folder = environment.ExecutableFolder();
  if (CanHoldRunFiles(program_folder)) {
    *named = std::move(program_folder);
    return {};
  }
  if (!ask) {
    return "the program's folder " + program_folder +
           " cannot hold the run's files; give the run folder as an "
           "argument: trovane-setup FOLDER";
  }
  std::optional<std::string> chosen = ask();
  if (!chosen) return "no run folder was chosen";
  *named = std::move(*chosen);
  return {};
}

// Why the run cannot keep its temporary files where the environment says;
// empty when it can. The run folder, already checked, serves when no
// variable names a folder.
std::string TemporaryFolderProblem(const Environment& environment,
                                   const PathView& paths,
                                   const std::string& run_folder) {
  for (const std::string_view variable : kTemporaryFolderVariables) {
    const std::string value = environment.Get(variable);
    if (value.empty()) continue;
    const std::string name(variable);
    // Told before anything else: the folder's name goes into the scan
    // batch, where a line break would make lines of its own.
    if (HoldsControlCharacter(value)) {
      return "the temporary folder from " + name +
             " holds a line break or another control character: set " + name +
             " to a folder whose name has none";
    }
    std::string linux_folder;
    const std::string problem = FolderProblem(paths, value, &linux_folder);
    if (problem.empty()) return {};
    return "the temporary folder " + value + " from " + name + " " + problem +
           ": set " + name + " to a folder that exists and can be written";
  }
  if (!HoldsControlCharacter(run_folder)) return {};
  return "the run folder holds a line break or another control character, "
         "and with VEK, TEMP and TMP unset it is the temporary folder too: "
         "set TEMP to a folder whose name has none";
}

}  // namespace

std::variant<RunStart, std::string> CheckStart(
    const Environment& environment, const std::optional<std::string>& folder,
    const RunFolderQuestion& ask) {
  std::string problem;
  std::optional<DriveMap> drives =
      DriveMap::FromEnvironment(environment, &problem);
  if (!drives) return problem;
  if (problem = DriveCProblem(*drives); !problem.empty()) return problem;
  const PathView paths(*drives, environment.CurrentFolder());

  std::string named;
  problem = NameRunFolder(environment, folder, ask, &named);
  if (!problem.empty()) return problem;
  RunStart start;
  if (problem = FolderProblem(paths, named, &start.run_folder);
      !problem.empty()) {
    return "the run folder " + named + " " + problem +
           ": name a folder that exists and can be written";
  }
  problem = TemporaryFolderProblem(environment, paths, start.run_folder);
  if (!problem.empty()) return problem;

  start.interpreter = FindCompanion(kInterpreterName, environment);
  if (start.interpreter.empty()) {
    return std::string(kInterpreterName) +
           ", which runs the scan batch, is neither in " +
           environment.ExecutableFolder() +
           " nor on PATH: put it beside trovane-setup, or its folder on PATH";
  }
  start.drives = std::move(*drives);
  return start;
}

}  // namespace trovane
