#include "trovane-cmd/linux/pseudo_mounts.h"

#include <sys/sysmacros.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <fstream>
#include <iterator>
#include <map>

namespace trovane {
namespace {

// Kernel views, device nodes, and the automounter, whose folders mount
// something on a mere look.
constexpr std::array<std::string_view, 25> kPseudoTypes = {
    "autofs",   "binfmt_misc", "bpf",        "cgroup",     "cgroup2",
    "configfs", "debugfs",     "devpts",     "devtmpfs",   "efivarfs",
    "fusectl",  "hugetlbfs",   "mqueue",     "nfsd",       "nsfs",
    "proc",     "pstore",      "rpc_pipefs", "securityfs", "selinuxfs",
    "smackfs",  "sysfs",       "tracefs",    "usbfs",      "xenfs"};

// The mount table writes blanks, tabs, line ends and backslashes in paths as
// three octal digits after a backslash.
std::string UnescapePath(std::string_view field) {
  std::string path;
  path.reserve(field.size());
  for (size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size()) {
      int value = 0;
      const char* end = field.data() + i + 4;
      if (std::from_chars(field.data() + i + 1, end, value, 8).ptr == end) {
        path.push_back(static_cast<char>(value));
        i += 3;
        continue;
      }
    }
    path.push_back(field[i]);
  }
  return path;
}

std::vector<std::string_view> SplitFields(std::string_view line) {
  std::vector<std::string_view> fields;
  size_t start = 0;
  while (start < line.size()) {
    size_t end = line.find(' ', start);
    if (end == std::string_view::npos) {
      end = line.size();
    }
    if (end > start) {
      fields.push_back(line.substr(start, end - start));
    }
    start = end + 1;
  }
  return fields;
}

struct Mount {
  std::string point;
  dev_t device = 0;
  bool pseudo = false;
};

// One line of the table: "ID PARENT MAJOR:MINOR ROOT POINT OPTIONS
// [OPTIONAL...] - TYPE SOURCE SUPER_OPTIONS". False for a line that does
// not have that shape.
bool ParseMountLine(std::string_view line, Mount* mount) {
  const std::vector<std::string_view> fields = SplitFields(line);
  if (fields.size() < 7) {
    return false;
  }
  const auto separator = std::find(fields.begin() + 6, fields.end(), "-");
  if (separator == fields.end() || separator + 1 == fields.end()) {
    return false;
  }
  const std::string_view device = fields[2];
  const size_t colon = device.find(':');
  if (colon == std::string_view::npos) {
    return false;
  }
  unsigned major_number = 0;
  unsigned minor_number = 0;
  std::from_chars(device.data(), device.data() + colon, major_number);
  std::from_chars(device.data() + colon + 1, device.data() + device.size(),
                  minor_number);
  mount->point = UnescapePath(fields[4]);
  mount->device = makedev(major_number, minor_number);
  mount->pseudo = PseudoMounts::IsPseudoType(*(separator + 1));
  return true;
}

}  // namespace

PseudoMounts PseudoMounts::OfThisProcess() {
  std::ifstream in("/proc/self/mountinfo", std::ios::binary);
  const std::string table(std::istreambuf_iterator<char>(in), {});
  return FromMountInfo(table);
}

PseudoMounts PseudoMounts::FromMountInfo(std::string_view table) {
  std::map<std::string, bool, std::less<>> top_mount_is_pseudo;
  PseudoMounts mounts;
  size_t start = 0;
  while (start < table.size()) {
    size_t end = table.find('\n', start);
    if (end == std::string_view::npos) {
      end = table.size();
    }
    Mount mount;
    if (ParseMountLine(table.substr(start, end - start), &mount)) {
      top_mount_is_pseudo[mount.point] = mount.pseudo;
      if (mount.pseudo) {
        mounts.devices_.push_back(mount.device);
      }
    }
    start = end + 1;
  }
  for (const auto& [point, pseudo] : top_mount_is_pseudo) {
    if (pseudo) {
      mounts.mount_points_.push_back(point);
    }
  }
  std::sort(mounts.devices_.begin(), mounts.devices_.end());
  return mounts;
}

bool PseudoMounts::IsPseudoType(std::string_view file_system_type) {
  return std::find(kPseudoTypes.begin(), kPseudoTypes.end(),
                   file_system_type) != kPseudoTypes.end();
}

bool PseudoMounts::IsPseudoMountPoint(std::string_view folder) const {
  return std::binary_search(mount_points_.begin(), mount_points_.end(), folder,
                            std::less<>());
}

bool PseudoMounts::HasMountPointBelow(std::string_view folder) const {
  const std::string prefix = std::string(folder) + "/";
  const auto next = std::lower_bound(mount_points_.begin(), mount_points_.end(),
                                     prefix, std::less<>());
  return next != mount_points_.end() && next->starts_with(prefix);
}

bool PseudoMounts::IsPseudoDevice(dev_t device) const {
  return std::binary_search(devices_.begin(), devices_.end(), device);
}

}  // namespace trovane
