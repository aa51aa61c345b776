// The mounts whose folders hold no files of the user: views of the kernel
// (proc, sysfs, cgroup, ...) and mounts of device nodes. A disk listing shows
// their mount points as names but never reads them: reading them can take
// forever, loop or set off side effects, and their names mean nothing to
// the file search.
//
// The decision is made by the mount table, not by the file system's magic
// number, because devtmpfs reports the magic of tmpfs while a real tmpfs
// (/tmp, /run) holds user files and must be listed.
#ifndef TROVANE_TROVANE_CMD_LINUX_PSEUDO_MOUNTS_H_
#define TROVANE_TROVANE_CMD_LINUX_PSEUDO_MOUNTS_H_

#include <sys/types.h>

#include <string>
#include <string_view>
#include <vector>

namespace trovane {

class PseudoMounts {
 public:
  // No pseudo mounts at all.
  PseudoMounts() = default;

  // The mounts this process sees, from /proc/self/mountinfo; none when the
  // table cannot be read.
  static PseudoMounts OfThisProcess();

  // The mounts of a table in the /proc/PID/mountinfo format. When several
  // mounts share a mount point, the last one (the one on top) counts.
  static PseudoMounts FromMountInfo(std::string_view table);

  static bool IsPseudoType(std::string_view file_system_type);

  // True when the canonical Linux path `folder` is the mount point of a
  // pseudo file system.
  bool IsPseudoMountPoint(std::string_view folder) const;

  // True when a pseudo file system's mount point lies below the canonical
  // Linux path `folder` ("" for the root): only then can a subfolder of it
  // be one.
  bool HasMountPointBelow(std::string_view folder) const;

  // True when `device` (a stat's st_dev) is that of a pseudo file system,
  // for a folder that is reached other than through its mount point.
  bool IsPseudoDevice(dev_t device) const;

 private:
  std::vector<std::string> mount_points_;  // sorted
  std::vector<dev_t> devices_;             // sorted
};

}  // namespace trovane

#endif  // TROVANE_TROVANE_CMD_LINUX_PSEUDO_MOUNTS_H_
