#include "platform/drive_map.h"

#include <string>

#include "platform/text.h"

namespace trovane {
namespace {

bool IsLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

int LetterIndex(char letter) { return UpperAscii(letter) - 'A'; }

// Appends the names of `part`, separated by "\" or "/", to `below`.
void AppendNames(std::string_view part, std::string* below) {
  size_t start = 0;
  while (start <= part.size()) {
    size_t end = part.find_first_of("\\/", start);
    if (end == std::string_view::npos) end = part.size();
    if (end > start) {
      if (!below->empty()) below->push_back('/');
      below->append(part.substr(start, end - start));
    }
    start = end + 1;
  }
}

// True when `path` is `folder` or lies below it.
bool IsAtOrBelow(std::string_view path, std::string_view folder) {
  if (folder == "/") return true;
  return path.substr(0, folder.size()) == folder &&
         (path.size() == folder.size() || path[folder.size()] == '/');
}

}  // namespace

std::string LinuxPath::Joined() const {
  if (below.empty()) return root;
  if (root.empty() || root.back() == '/') return root + below;
  return root + "/" + below;
}

bool HasDriveLetter(std::string_view path) {
  return path.size() >= 2 && IsLetter(path[0]) && path[1] == ':';
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

DriveMap::DriveMap() {
  folders_[LetterIndex('C')] = "/";
  folders_[LetterIndex('Z')] = "/";
}

DriveMap DriveMap::FromEnvironment(const Environment& environment) {
  DriveMap map;
  for (char letter = 'C'; letter <= 'Z'; ++letter) {
    const std::string value =
        environment.Get(std::string("VEK_DRIVE_") + letter);
    if (!value.empty() && value.front() == '/') map.Map(letter, value);
  }
  return map;
}

void DriveMap::Map(char letter, std::string_view folder) {
  if (!IsLetter(letter)) return;
  folders_[LetterIndex(letter)] =
      folder.empty() ? std::string() : NormalizeLinuxPath(folder);
}

const std::string* DriveMap::FolderOf(char letter) const {
  if (!IsLetter(letter)) return nullptr;
  const std::string& folder = folders_[LetterIndex(letter)];
  return folder.empty() ? nullptr : &folder;
}

std::optional<LinuxPath> DriveMap::ToLinux(
    std::string_view path, std::string_view current_folder) const {
  LinuxPath result;
  std::string_view names = path;
  if (HasDriveLetter(path)) {
    const std::string* folder = FolderOf(path[0]);
    if (folder == nullptr) return std::nullopt;
    result.root = *folder;
    names = path.substr(2);
  } else if (!path.empty() && path.front() == '/') {
    result.root = "/";
  } else if (!path.empty() && path.front() == '\\') {
    const std::string current = ToDriveForm(current_folder);
    if (!HasDriveLetter(current)) return std::nullopt;
    const std::string* folder = FolderOf(current[0]);
    if (folder == nullptr) return std::nullopt;
    result.root = *folder;
  } else {
    result.root = NormalizeLinuxPath(current_folder);
  }
  AppendNames(names, &result.below);
  return result;
}

std::string DriveMap::ToDriveForm(std::string_view linux_path) const {
  if (linux_path.empty() || linux_path.front() != '/') {
    return std::string(linux_path);
  }
  std::string path = NormalizeLinuxPath(linux_path);
  int best = -1;
  for (int i = 0; i < 26; ++i) {
    const std::string& folder = folders_[i];
    if (folder.empty() || !IsAtOrBelow(path, folder)) continue;
    if (best < 0 || folder.size() > folders_[best].size()) best = i;
  }
  if (best < 0) return path;
  const std::string& folder = folders_[best];
  std::string rest = path.substr(folder == "/" ? 0 : folder.size());
  std::string result;
  result.push_back(static_cast<char>('A' + best));
  result.append(":\\");
  for (char c : rest) {
    if (c == '/') {
      if (result.back() != '\\') result.push_back('\\');
    } else {
      result.push_back(c);
    }
  }
  return result;
}

}  // namespace trovane
