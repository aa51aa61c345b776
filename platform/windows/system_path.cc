#include "platform/windows/system_path.h"

#include <algorithm>
#include <vector>

#include "platform/text.h"
#include "platform/windows/wide_text.h"

namespace trovane {
namespace {

constexpr std::string_view kLongPrefix = "\\\\?\\";
constexpr std::string_view kLongUncPrefix = "\\\\?\\UNC\\";

bool IsLiteral(std::string_view path) {
  return path.starts_with(kLongPrefix) || path.starts_with("\\\\.\\");
}

// A whole path in two parts: the root ("C:" or "\\SERVER\SHARE") and the
// names below it, "\" between them, not yet walked.
struct Rooted {
  std::string_view root;
  std::string_view below;
};

// The root of a path that has one; nothing for one that has none.
std::optional<Rooted> RootOf(std::string_view path) {
  if (HasDriveLetter(path) && path.size() > 2 && path[2] == '\\') {
    return Rooted{path.substr(0, 2), path.substr(3)};
  }
  if (HasDriveLetter(path) && path.size() == 2) return Rooted{path, {}};
  if (!path.starts_with("\\\\")) return std::nullopt;
  // A network path's root is its server and its share.
  const size_t server_end = path.find('\\', 2);
  if (server_end == std::string_view::npos || server_end == 2) {
    return std::nullopt;
  }
  const size_t share_end = path.find('\\', server_end + 1);
  const size_t root_end =
      share_end == std::string_view::npos ? path.size() : share_end;
  if (root_end == server_end + 1) return std::nullopt;
  return Rooted{path.substr(0, root_end), root_end < path.size()
                                              ? path.substr(root_end + 1)
                                              : std::string_view()};
}

// Walks `names` ("\" between them) onto `walked`: "." and empty names stay
// where they are, ".." goes back one name but never above the root.
void Walk(std::string_view names, std::vector<std::string_view>* walked) {
  size_t start = 0;
  while (start <= names.size()) {
    size_t end = names.find('\\', start);
    if (end == std::string_view::npos) end = names.size();
    const std::string_view name = names.substr(start, end - start);
    if (name == "..") {
      if (!walked->empty()) walked->pop_back();
    } else if (!name.empty() && name != ".") {
      walked->push_back(name);
    }
    start = end + 1;
  }
}

}  // namespace

std::optional<std::string> FullDrivePath(std::string_view path,
                                         std::string_view current_folder) {
  if (path.find('\0') != std::string_view::npos) return std::nullopt;
  std::string given(path);
  std::replace(given.begin(), given.end(), '/', '\\');
  if (IsLiteral(given)) return given;
  std::string current(current_folder);
  std::replace(current.begin(), current.end(), '/', '\\');

  std::optional<Rooted> rooted;
  std::vector<std::string_view> names;
  const std::optional<Rooted> current_root = RootOf(current);
  if (HasDriveLetter(given) && (given.size() == 2 || given[2] != '\\')) {
    // "C:X": from the current folder when that lies on drive C, else from
    // the root of drive C.
    const std::string_view drive = std::string_view{given}.substr(0, 2);
    if (current_root && EqualsNoCase(current_root->root, drive)) {
      Walk(current_root->below, &names);
    }
    rooted = Rooted{drive, std::string_view{given}.substr(2)};
  } else if (rooted = RootOf(given); !rooted) {
    // A network path without its share names nothing.
    if (!current_root || given.starts_with("\\\\")) return std::nullopt;
    // "\X" starts at the current root, anything else at the current folder.
    if (given.empty() || given.front() != '\\') {
      Walk(current_root->below, &names);
    }
    rooted = Rooted{current_root->root, given};
  }
  Walk(rooted->below, &names);

  std::string full(rooted->root);
  full.push_back('\\');
  for (size_t i = 0; i < names.size(); ++i) {
    if (i > 0) full.push_back('\\');
    full.append(names[i]);
  }
  return full;
}

std::optional<std::wstring> SystemPath(std::string_view path,
                                       std::string_view current_folder) {
  const std::optional<std::string> full = FullDrivePath(path, current_folder);
  if (!full) return std::nullopt;
  if (IsLiteral(*full)) return WideText(*full);
  if (full->starts_with("\\\\")) {
    return WideText(std::string(kLongUncPrefix) + full->substr(2));
  }
  return WideText(std::string(kLongPrefix) + *full);
}

std::string WithoutLongPrefix(std::string path) {
  if (path.starts_with(kLongUncPrefix)) {
    return "\\\\" + path.substr(kLongUncPrefix.size());
  }
  if (path.starts_with(kLongPrefix)) return path.substr(kLongPrefix.size());
  return path;
}

FolderAndName SplitLastName(const std::string& full_path) {
  const std::optional<Rooted> rooted = RootOf(full_path);
  if (!rooted || rooted->below.empty()) return {full_path, {}};
  const size_t last = full_path.rfind('\\');
  FolderAndName split{full_path.substr(0, last), full_path.substr(last + 1)};
  // The root keeps its separator: "C:" alone is the current folder there.
  if (split.folder.size() == rooted->root.size()) split.folder.push_back('\\');
  return split;
}

}  // namespace trovane
