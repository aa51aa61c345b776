#include "platform/linux_file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "platform/text.h"
#include "platform/wildcard.h"

namespace trovane {
namespace {

bool IsRegularFile(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// True when the entry of an open folder is an ordinary file, symbolic links
// followed; the folder's own record of the type saves a stat where it can.
bool IsRegularEntry(DIR* dir, const dirent& entry) {
  if (entry.d_type == DT_REG) return true;
  if (entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN) return false;
  struct stat info;
  return fstatat(dirfd(dir), entry.d_name, &info, 0) == 0 &&
         S_ISREG(info.st_mode);
}

// The first name in byte order of an ordinary, visible file in `folder`
// that `matches`.
template <typename Matches>
std::string FirstFileIn(const std::string& folder, Matches matches) {
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return {};
  std::string best;
  while (const dirent* entry = readdir(dir)) {
    const std::string_view name = entry->d_name;
    if (IsHiddenName(name) || !matches(name)) continue;
    if (!best.empty() && name >= best) continue;
    if (IsRegularEntry(dir, *entry)) best = name;
  }
  closedir(dir);
  return best;
}

std::string JoinLinux(const std::string& folder, std::string_view name) {
  std::string path = folder;
  if (path.empty() || path.back() != '/') path.push_back('/');
  path.append(name);
  return path;
}

int OpenFlags(OpenOptions options) {
  return O_CLOEXEC | (options.refuse_link ? O_NOFOLLOW : 0);
}

}  // namespace

LinuxFileSystem::LinuxFileSystem(PathView paths, FileNumbers& numbers)
    : paths_(std::move(paths)), numbers_(numbers) {}

std::string LinuxFileSystem::Probe(std::string_view path) {
  const std::optional<PathView::Split> split = paths_.SplitLast(path);
  if (!split || split->name.empty() || IsHiddenName(split->name)) return {};
  const std::string& name = split->name;
  if (IsRegularFile(JoinLinux(split->folder, name))) return name;
  if (HasWildcards(name)) {
    return FirstFileIn(split->folder, [&name](std::string_view candidate) {
      return MatchesWildcard(candidate, name);
    });
  }
  return FirstFileIn(split->folder, [&name](std::string_view candidate) {
    return EqualsNoCase(candidate, name);
  });
}

bool LinuxFileSystem::IsFile(std::string_view path) {
  const std::optional<std::string> linux_path = paths_.ToLinux(path);
  return linux_path && IsRegularFile(*linux_path);
}

std::optional<int64_t> LinuxFileSystem::Length(std::string_view path) {
  const std::optional<std::string> linux_path = paths_.ToLinux(path);
  struct stat info;
  if (!linux_path || stat(linux_path->c_str(), &info) != 0 ||
      !S_ISREG(info.st_mode)) {
    return std::nullopt;
  }
  return static_cast<int64_t>(info.st_size);
}

std::optional<LocalTime> LinuxFileSystem::LastModified(std::string_view path) {
  const std::optional<std::string> linux_path = paths_.ToLinux(path);
  struct stat info;
  if (!linux_path || stat(linux_path->c_str(), &info) != 0) return std::nullopt;
  tm local{};
  localtime_r(&info.st_mtime, &local);
  return LocalTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                   local.tm_hour,        local.tm_min,     local.tm_sec};
}

bool LinuxFileSystem::Delete(std::string_view path) {
  const std::optional<std::string> linux_path = paths_.ToLinux(path);
  return linux_path && unlink(linux_path->c_str()) == 0;
}

bool LinuxFileSystem::Rename(std::string_view from, std::string_view to) {
  const std::optional<std::string> source = paths_.ToLinux(from);
  const std::optional<std::string> target = paths_.ToLinux(to);
  return source && target && rename(source->c_str(), target->c_str()) == 0;
}

bool LinuxFileSystem::Link(std::string_view from, std::string_view to) {
  const std::optional<std::string> source = paths_.ToLinux(from);
  const std::optional<std::string> target = paths_.ToLinux(to);
  return source && target && link(source->c_str(), target->c_str()) == 0;
}

bool LinuxFileSystem::MakeFolder(std::string_view path) {
  const std::optional<std::string> linux_path = paths_.ToLinux(path);
  if (!linux_path) return false;
  const std::string& target = *linux_path;
  struct stat info;
  size_t slash = 0;
  do {
    slash = target.find('/', slash + 1);
    const std::string folder = target.substr(0, slash);
    if (stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) continue;
    if (mkdir(folder.c_str(), 0777) != 0) return false;
  } while (slash != std::string::npos);
  return true;
}

int LinuxFileSystem::Open(std::string_view path, int flags) {
  const std::optional<std::string> written = paths_.AsWritten(path);
  if (!written) return -1;
  const int fd = open(written->c_str(), flags & ~O_CREAT, 0666);
  if (fd >= 0 || errno != ENOENT) return fd;
  const std::optional<std::string> resolved = paths_.ToLinux(path);
  return resolved ? open(resolved->c_str(), flags, 0666) : -1;
}

std::unique_ptr<InputFile> LinuxFileSystem::OpenForReading(
    std::string_view path, OpenOptions options) {
  const int fd =
      Open(path, OpenFlags(options) |
                     (options.create ? (O_RDWR | O_CREAT) : O_RDONLY));
  if (fd < 0) return nullptr;
  FileNumbers::Lease lease = numbers_.Take(fd);
  if (lease.number() == 0) return nullptr;
  return std::make_unique<InputFile>(std::move(lease));
}

std::unique_ptr<OutputFile> LinuxFileSystem::OpenOutput(std::string_view path,
                                                        int flags,
                                                        OpenOptions options) {
  const int fd = Open(path, OpenFlags(options) | O_WRONLY | O_CREAT | flags);
  if (fd < 0) return nullptr;
  FileNumbers::Lease lease = numbers_.Take(fd);
  if (lease.number() == 0) return nullptr;
  return std::make_unique<OutputFile>(std::move(lease));
}

std::unique_ptr<OutputFile> LinuxFileSystem::OpenForWriting(
    std::string_view path, OpenOptions options) {
  return OpenOutput(path, O_TRUNC, options);
}

std::unique_ptr<OutputFile> LinuxFileSystem::OpenForAppending(
    std::string_view path, OpenOptions options) {
  return OpenOutput(path, O_APPEND, options);
}

SwapClaim LinuxFileSystem::ClaimSwap(std::string_view path) {
  const std::optional<std::string> linux_path = paths_.ToLinux(path);
  if (!linux_path) return {};
  return ClaimSwapFile(*linux_path);
}

std::string LinuxFileSystem::ToDriveForm(std::string_view linux_path) const {
  return paths_.ToDriveForm(linux_path);
}

std::optional<std::string> LinuxFileSystem::ToLinux(
    std::string_view path) const {
  return paths_.ToLinux(path);
}

}  // namespace trovane
