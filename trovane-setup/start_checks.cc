#include "trovane-setup/start_checks.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <utility>

#include "databank/run_files.h"
#include "platform/text.h"

namespace trovane {
namespace {

constexpr char kInterpreterName[] = "trovane-cmd";

// Where an installed program lies. A user never wants the run's lists and
// logs there, not even one who may write there.
constexpr std::array<std::string_view, 7> kSystemProgramFolders = {
    "/usr/bin",   "/usr/local/bin",  "/bin", "/usr/sbin", "/sbin",
    "/usr/games", "/usr/local/games"};

// What no drive path can hold: a folder named with one of them cannot be
// written into the scan batch, whose lines the interpreter takes apart at
// ">" and whose names the listing would never give back as written.
bool HoldsCharacterNoDrivePathHolds(std::string_view path) {
  return HoldsControlCharacter(path) ||
         path.find_first_of("*?\"<>|") != std::string_view::npos;
}

// Why the run cannot make its files in the folder `path`, in a few words;
// empty when it can, with the folder in drive form in `*drive_folder`.
std::string FolderProblem(const Environment& environment, FileSystem& files,
                          const std::string& path, std::string* drive_folder) {
  std::string drive = environment.ToDriveForm(path);
  // The run shows its folders in drive form, so they must have one.
  if (!HasDriveLetter(drive) || !files.IsFolder(drive.substr(0, 2) + "\\")) {
    return "is on no mapped drive";
  }
  const std::optional<FileStatus> status = files.Status(drive);
  if (!status) return "does not exist";
  if (!status->is_folder) return "is not a folder";
  if (!files.CanMakeFilesIn(drive)) return "cannot be written";
  *drive_folder = std::move(drive);
  return {};
}

// The run folder as the user named it, in `*named`; or why there is none.
std::string NameRunFolder(const Environment& environment, FileSystem& files,
                          const std::optional<std::string>& folder,
                          const RunFolderQuestion& ask, std::string* named) {
  if (folder) {
    *named = *folder;
    return {};
  }
  std::string executable_folder = environment.ExecutableFolder();
  std::string drive_folder;
  if (std::ranges::find(kSystemProgramFolders, executable_folder) ==
          kSystemProgramFolders.end() &&
      FolderProblem(environment, files, executable_folder, &drive_folder)
          .empty()) {
    *named = std::move(executable_folder);
    return {};
  }
  if (!ask) {
    return "trovane-setup's own folder " + executable_folder +
           " cannot hold the run's files; give the run folder as an "
           "argument: trovane-setup FOLDER";
  }
  std::optional<std::string> chosen =
      ask(files.SystemPath("C:\\").value_or(environment.CurrentFolder()));
  if (!chosen) return "no run folder was chosen";
  *named = std::move(*chosen);
  return {};
}

// Why the run cannot keep its files in a folder of its own in `folder`,
// which other users may write in; empty when it can, or need not.
std::string SharedFolderProblem(FileSystem& files, const std::string& folder,
                                const std::string& named_by) {
  std::string in_the_way;
  if (files.OwnTemporaryFolder(folder, &in_the_way)) return {};
  return "the temporary folder " + folder + " from " + named_by +
         " may be written by other users, and the folder kept there for this "
         "user's runs, " +
         in_the_way +
         ", is not this user's alone: remove it, or set TEMP to a folder of "
         "your own";
}

// Why the run cannot keep its temporary files where the environment says;
// empty when it can. The run folder, already checked, serves when no
// variable names a folder.
std::string TemporaryFolderProblem(const Environment& environment,
                                   FileSystem& files,
                                   const std::string& run_folder) {
  for (const std::string_view variable : kTemporaryFolderVariables) {
    const std::string value = environment.Get(variable);
    if (value.empty()) continue;
    const std::string name(variable);
    // Told before anything else: the folder's name goes into the scan
    // batch, where a line break would make lines of its own and a ">" a
    // redirection of its own.
    if (HoldsControlCharacter(value)) {
      return "the temporary folder from " + name +
             " holds a line break or another control character: set " + name +
             " to a folder whose name has none";
    }
    if (HoldsCharacterNoDrivePathHolds(value)) {
      return "the temporary folder " + value + " from " + name +
             " holds one of * ? \" < > |, which no drive path holds: set " +
             name + " to a folder whose name has none";
    }
    std::string drive_folder;
    const std::string problem =
        FolderProblem(environment, files, value, &drive_folder);
    if (problem.empty()) return SharedFolderProblem(files, drive_folder, name);
    return "the temporary folder " + value + " from " + name + " " + problem +
           ": set " + name + " to a folder that exists and can be written";
  }
  return SharedFolderProblem(files, run_folder,
                             "the run folder, as VEK, TEMP and TMP are unset,");
}

}  // namespace

std::variant<RunStart, std::string> CheckStart(
    const Environment& environment, FileSystem& files,
    const ProcessLauncher& launcher, const std::optional<std::string>& folder,
    const RunFolderQuestion& ask) {
  std::string named;
  std::string problem = NameRunFolder(environment, files, folder, ask, &named);
  if (!problem.empty()) return problem;
  RunStart start;
  if (problem = FolderProblem(environment, files, named, &start.run_folder);
      !problem.empty()) {
    return "the run folder " + named + " " + problem +
           ": name a folder that exists and can be written";
  }
  // Not named in the message: a line break in it would break the message.
  if (HoldsCharacterNoDrivePathHolds(start.run_folder)) {
    return "the run folder holds a line break, another control character or "
           "one of * ? \" < > |, which no drive path holds: name a folder "
           "whose name has none";
  }
  problem = TemporaryFolderProblem(environment, files, start.run_folder);
  if (!problem.empty()) return problem;

  start.interpreter = launcher.FindCompanion(kInterpreterName);
  if (start.interpreter.empty()) {
    return std::string(kInterpreterName) +
           ", which runs the scan batch, is neither in " +
           environment.ExecutableFolder() +
           " nor on PATH: put it beside trovane-setup, or its folder on PATH";
  }
  return start;
}

}  // namespace trovane
