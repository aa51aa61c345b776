#include "platform/linux/drive_map.h"

#include <string>
#include <utility>
#include <vector>

#include "platform/linux/linux_folder.h"
#include "platform/linux/wine_drives.h"
#include "platform/text.h"

namespace trovane {
namespace {

int LetterIndex(char letter) { return UpperAscii(letter) - 'A'; }

// The names of a path as they are walked: "." stays where it is and ".."
// goes back one name, but never above the first name, so that no path can
// leave the root it starts from.
class NameWalk {
 public:
  // Walks the names of `part`, separated by any of `separators`.
  void Walk(std::string_view part, std::string_view separators) {
    size_t start = 0;
    while (start <= part.size()) {
      size_t end = part.find_first_of(separators, start);
      if (end == std::string_view::npos) end = part.size();
      Step(part.substr(start, end - start));
      start = end + 1;
    }
  }

  // The names reached, "/" between them.
  std::string Joined() const {
    std::string joined;
    for (std::string_view name : names_) {
      if (!joined.empty()) joined.push_back('/');
      joined.append(name);
    }
    return joined;
  }

 private:
  void Step(std::string_view name) {
    if (name.empty() || name == ".") return;
    if (name == "..") {
      if (!names_.empty()) names_.pop_back();
      return;
    }
    names_.push_back(name);
  }

  std::vector<std::string_view> names_;
};

constexpr std::string_view kAnySeparator = "\\/";

// True when `path` is `folder` or lies below it.
bool IsAtOrBelow(std::string_view path, std::string_view folder) {
  if (folder == "/") return true;
  return path.substr(0, folder.size()) == folder &&
         (path.size() == folder.size() || path[folder.size()] == '/');
}

// Why a drive variable cannot be taken; empty when it can.
std::string DriveVariableProblem(const std::string& name,
                                 const std::string& value) {
  if (!value.empty() && value.front() == '/' && IsLinuxFolder(value)) {
    return {};
  }
  return name + " is \"" + value +
         "\": set it to the absolute path of an existing folder, or unset it.";
}

}  // namespace

std::string LinuxPath::Joined() const {
  if (below.empty()) return root;
  if (root.empty() || root.back() == '/') return root + below;
  return root + "/" + below;
}

std::string NormalizeLinuxPath(std::string_view path) {
  std::string result;
  result.reserve(path.size());
  for (char c : path) {
    if (c == '/' && !result.empty() && result.back() == '/') continue;
    result.push_back(c);
  }
  if (result.size() > 1 && result.back() == '/') result.pop_back();
  return result;
}

DriveMap::DriveMap() { folders_[LetterIndex('Z')] = "/"; }

std::optional<DriveMap> DriveMap::FromEnvironment(
    const Environment& environment, std::string* error) {
  DriveMap map;
  bool any_variable = false;
  for (char letter = 'C'; letter <= 'Z'; ++letter) {
    const std::string name = std::string("VEK_DRIVE_") + letter;
    if (!environment.Has(name)) continue;
    any_variable = true;
    const std::string value = environment.Get(name);
    std::string problem = DriveVariableProblem(name, value);
    if (!problem.empty()) {
      *error = std::move(problem);
      return std::nullopt;
    }
    map.Map(letter, value);
  }
  if (any_variable) return map;
  const std::string prefix = WinePrefixOf(environment);
  if (prefix.empty()) return map;
  for (const WineDrive& drive : ReadWineDrives(prefix)) {
    map.Map(drive.letter, drive.folder);
  }
  return map;
}

void DriveMap::Map(char letter, std::string_view folder) {
  if (!IsAsciiLetter(letter)) return;
  folders_[LetterIndex(letter)] =
      folder.empty() ? std::string() : NormalizeLinuxPath(folder);
}

const std::string* DriveMap::FolderOf(char letter) const {
  if (!IsAsciiLetter(letter)) return nullptr;
  const std::string& folder = folders_[LetterIndex(letter)];
  return folder.empty() ? nullptr : &folder;
}

std::optional<LinuxPath> DriveMap::ToLinux(
    std::string_view path, std::string_view current_folder) const {
  // A path that holds a NUL names nothing: handed to the system it would
  // be cut short there and name another file.
  if (path.find('\0') != std::string_view::npos) return std::nullopt;
  LinuxPath result;
  NameWalk walk;
  // Kept alive for `walk`, which holds views into it.
  const std::string current = NormalizeLinuxPath(current_folder);
  if (HasDriveLetter(path)) {
    const std::string* folder = FolderOf(path[0]);
    if (folder == nullptr) return std::nullopt;
    result.root = *folder;
    path.remove_prefix(2);
  } else if (!path.empty() && path.front() == '/') {
    result.root = "/";
  } else {
    const std::optional<Place> place =
        current.starts_with('/') ? PlaceOf(current) : std::nullopt;
    if (place) {
      result.root = folders_[place->drive];
      // "\X" starts at the drive's root, anything else at the current
      // folder; both stay on that drive.
      if (!path.starts_with('\\')) walk.Walk(place->below, "/");
    } else if (path.starts_with('\\')) {
      return std::nullopt;
    } else if (current.starts_with('/')) {
      result.root = "/";
      walk.Walk(current, "/");
    } else {
      result.root = current;
    }
  }
  walk.Walk(path, kAnySeparator);
  result.below = walk.Joined();
  return result;
}

std::optional<DriveMap::Place> DriveMap::PlaceOf(
    std::string_view linux_path) const {
  int best = -1;
  for (int i = 0; i < 26; ++i) {
    const std::string& folder = folders_[i];
    if (folder.empty() || !IsAtOrBelow(linux_path, folder)) continue;
    if (best < 0 || folder.size() > folders_[best].size()) best = i;
  }
  if (best < 0) return std::nullopt;
  const std::string& folder = folders_[best];
  std::string_view below = linux_path.substr(folder == "/" ? 0 : folder.size());
  while (below.starts_with('/')) below.remove_prefix(1);
  return Place{best, below};
}

std::string DriveMap::ToDriveForm(std::string_view linux_path) const {
  if (linux_path.empty() || linux_path.front() != '/') {
    return std::string(linux_path);
  }
  std::string path = NormalizeLinuxPath(linux_path);
  const std::optional<Place> place = PlaceOf(path);
  if (!place) return path;
  std::string result;
  result.push_back(static_cast<char>('A' + place->drive));
  result.append(":\\");
  for (char c : place->below) result.push_back(c == '/' ? '\\' : c);
  return result;
}

std::string DriveMap::DriveFormOf(std::string_view path,
                                  std::string_view current_folder) const {
  if (HasDriveLetter(path)) return std::string(path);
  const std::optional<LinuxPath> linux = ToLinux(path, current_folder);
  if (!linux) return std::string(path);
  return ToDriveForm(linux->Joined());
}

}  // namespace trovane
