#include <gtest/gtest.h>
#include <sys/sysmacros.h>

#include "trovane-cmd/linux/pseudo_mounts.h"

namespace trovane {
namespace {

constexpr char kTable[] =
    "22 27 0:21 / /proc rw,relatime - proc proc rw\n"
    "23 27 0:22 / /sys rw,relatime shared:7 - sysfs sysfs rw\n"
    "24 27 0:6 / /dev rw,relatime - devtmpfs devtmpfs rw,size=1k\n"
    "25 24 0:23 / /dev/shm rw,relatime - tmpfs tmpfs rw\n"
    "27 1 254:0 / / rw,relatime - ext4 /dev/vda rw\n"
    "28 27 0:25 / /tmp rw - tmpfs tmpfs rw\n"
    "29 27 0:26 / /mnt/my\\040kernel rw - debugfs debugfs rw\n"
    "30 27 0:27 / /mnt/auto rw - autofs systemd-1 rw\n"
    "31 30 8:1 / /mnt/auto rw - ext4 /dev/sda1 rw\n"
    "41 31 0:38 / /sys/fs/cgroup/unified rw - cgroup2 cgroup2 rw\n"
    "not a mount line\n";

TEST(PseudoMountsTest, KernelViewsAreKnownByTheirMountPoints) {
  const PseudoMounts mounts = PseudoMounts::FromMountInfo(kTable);
  EXPECT_TRUE(mounts.IsPseudoMountPoint("/proc"));
  EXPECT_TRUE(mounts.IsPseudoMountPoint("/sys"));
  EXPECT_TRUE(mounts.IsPseudoMountPoint("/dev"));
  EXPECT_TRUE(mounts.IsPseudoMountPoint("/sys/fs/cgroup/unified"));
  EXPECT_TRUE(mounts.IsPseudoMountPoint("/mnt/my kernel"));
  EXPECT_FALSE(mounts.IsPseudoMountPoint("/"));
  EXPECT_FALSE(mounts.IsPseudoMountPoint("/proc/1"));
  EXPECT_FALSE(mounts.IsPseudoMountPoint("/proc/"));
}

TEST(PseudoMountsTest, RealTmpfsAndCoveredMountsAreEntered) {
  const PseudoMounts mounts = PseudoMounts::FromMountInfo(kTable);
  EXPECT_FALSE(mounts.IsPseudoMountPoint("/tmp"));
  EXPECT_FALSE(mounts.IsPseudoMountPoint("/dev/shm"));
  // The automounter's folder has a real disk mounted on top of it.
  EXPECT_FALSE(mounts.IsPseudoMountPoint("/mnt/auto"));
}

TEST(PseudoMountsTest, DevicesTellWhichFoldersLieOnAPseudoFileSystem) {
  const PseudoMounts mounts = PseudoMounts::FromMountInfo(kTable);
  EXPECT_TRUE(mounts.IsPseudoDevice(makedev(0, 21)));
  // devtmpfs and tmpfs share a magic number but not a device.
  EXPECT_TRUE(mounts.IsPseudoDevice(makedev(0, 6)));
  EXPECT_FALSE(mounts.IsPseudoDevice(makedev(0, 23)));
  EXPECT_FALSE(mounts.IsPseudoDevice(makedev(254, 0)));
}

TEST(PseudoMountsTest, TypesOfKernelViewsAndDeviceNodes) {
  for (const char* type : {"proc", "sysfs", "devtmpfs", "devpts", "cgroup",
                           "cgroup2", "securityfs", "debugfs", "tracefs",
                           "pstore", "bpf", "configfs", "fusectl", "mqueue",
                           "hugetlbfs", "autofs", "binfmt_misc", "efivarfs"}) {
    EXPECT_TRUE(PseudoMounts::IsPseudoType(type)) << type;
  }
  for (const char* type : {"ext4", "tmpfs", "btrfs", "xfs", "vfat", "nfs",
                           "overlay", "fuse.sshfs", ""}) {
    EXPECT_FALSE(PseudoMounts::IsPseudoType(type)) << type;
  }
}

TEST(PseudoMountsTest, ThisProcessSeesItsOwnProc) {
  EXPECT_TRUE(PseudoMounts::OfThisProcess().IsPseudoMountPoint("/proc"));
}

TEST(PseudoMountsTest, AnEmptyTableHasNoPseudoMounts) {
  const PseudoMounts mounts = PseudoMounts::FromMountInfo("");
  EXPECT_FALSE(mounts.IsPseudoMountPoint("/proc"));
  EXPECT_FALSE(mounts.IsPseudoDevice(makedev(0, 21)));
}

}  // namespace
}  // namespace trovane
