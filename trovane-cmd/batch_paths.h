// The paths of batch lines, made absolute in drive form before they reach
// the disk: the interpreter has one current folder of its own, which "Cd"
// moves and which the file system never sees.
#ifndef TROVANE_TROVANE_CMD_BATCH_PATHS_H_
#define TROVANE_TROVANE_CMD_BATCH_PATHS_H_

#include <optional>
#include <string>
#include <string_view>

#include "platform/environment.h"

namespace trovane {

class BatchPaths {
 public:
  // `current_folder` is absolute in drive form (or, for a folder that lies
  // on no drive, as the system names it); `environment` gives the drive
  // form of paths as the system names them and must outlive the paths.
  BatchPaths(const Environment& environment, std::string_view current_folder);

  // `path` made absolute: a drive path as written, "C:Games" being
  // "C:\Games"; "\X" on the current folder's drive; a path the system names
  // ("/usr/lib" on Linux) in its drive form; anything else below the
  // current folder. "." and ".." stay for the file system to take out by
  // the names. Empty for "\X" when the current folder lies on no drive.
  std::optional<std::string> Absolute(std::string_view path) const;

  // Makes the absolute `folder` the current one, without its "." and ".."
  // names (never above the drive's root) or repeated separators, so that
  // the paths made from it read as they would on the desktop system.
  void MoveTo(std::string_view folder);

  const std::string& current_folder() const { return current_folder_; }

 private:
  const Environment* environment_;
  std::string current_folder_;
};

// True for "\" and "/", which separate the names of a drive path alike.
inline bool IsPathSeparator(char c) { return c == '\\' || c == '/'; }

// `path` without the separators at its end.
std::string_view WithoutTrailingSeparators(std::string_view path);

}  // namespace trovane

#endif  // TROVANE_TROVANE_CMD_BATCH_PATHS_H_
