// The drive letters of the desktop world and the Linux folders they stand
// for. Everything the program does to text happens on drive-form paths
// ("C:\Vek\Run.exe"); this table is consulted only where the disk is touched
// and where a Linux path has to be shown in drive form.
#ifndef TROVANE_PLATFORM_DRIVE_MAP_H_
#define TROVANE_PLATFORM_DRIVE_MAP_H_

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "platform/environment.h"

namespace trovane {

// A Linux path in two parts: `root`, a folder taken as it is (a drive's
// folder, the current folder or "/"), and `below`, the names under it that
// the path gives, joined with "/" (empty for the root itself). Only the
// names in `below` are matched without regard to case.
struct LinuxPath {
  std::string root;
  std::string below;

  std::string Joined() const;
};

class DriveMap {
 public:
  // Z: stands for "/", so that every Linux path has a drive form; no other
  // letter is mapped. Drive C in particular is never the system's root by
  // default: the program wants it mapped on purpose.
  DriveMap();

  // The map the environment describes. When any of VEK_DRIVE_C ...
  // VEK_DRIVE_Z is set, even to nothing, those variables alone make it, and
  // each must hold the absolute path of an existing folder; otherwise the
  // links of the Wine prefix (WINEPREFIX, else ~/.wine) make it. Z: stays
  // "/" unless one of them maps it. Nullopt for a variable that names no
  // folder, with a message naming the variable in `*error`.
  static std::optional<DriveMap> FromEnvironment(const Environment& environment,
                                                 std::string* error);

  // Maps `letter` (either case) to an absolute Linux folder; an empty
  // folder unmaps it.
  void Map(char letter, std::string_view folder);

  // The Linux folder of a drive letter, or nullptr when it is unmapped.
  const std::string* FolderOf(char letter) const;

  // The Linux path a path stands for, without looking at the disk: a drive
  // form becomes its folder with "\" turned into "/", a path starting with
  // "\" is on the drive of `current_folder`, a path starting with "/" is
  // already a Linux path and anything else is relative to `current_folder`.
  // Runs of separators collapse, "." names are dropped and ".." takes out
  // the name before it but never climbs above the root: the drive's folder,
  // or "/" for a Linux path. A relative path climbs no higher than the
  // root of the drive the current folder lies on. Empty for a path on an
  // unmapped drive, and for one that holds a NUL.
  std::optional<LinuxPath> ToLinux(std::string_view path,
                                   std::string_view current_folder) const;

  // The drive form of an absolute Linux path: the mapped folder with the
  // longest match wins (ties go to the earlier letter), the rest joined with
  // "\"; a drive root is written "C:\". Anything that is not an absolute
  // Linux path is taken to be in drive form already and returned as given.
  std::string ToDriveForm(std::string_view linux_path) const;

  // The drive form of any path as Linux names it: absolute, or relative
  // to `current_folder`, its "." and ".." taken out by the names. A path
  // in drive form already is returned as given, and so is one this map
  // cannot place.
  std::string DriveFormOf(std::string_view path,
                          std::string_view current_folder) const;

 private:
  // Where a normalized absolute Linux path lies: the drive whose folder
  // holds it with the longest match (ties to the earlier letter), and the
  // names below that folder, "/" between them.
  struct Place {
    int drive;
    std::string_view below;
  };
  std::optional<Place> PlaceOf(std::string_view linux_path) const;

  std::array<std::string, 26> folders_;
};

// Collapses runs of "/" and drops a trailing "/" (but keeps "/" itself).
std::string NormalizeLinuxPath(std::string_view path);

}  // namespace trovane

#endif  // TROVANE_PLATFORM_DRIVE_MAP_H_
