// The disks the file system contract runs on, each with the same way for
// a test to lay out files beside the file system under test: paths
// relative to the root of drive C, "/" between names.
#ifndef TROVANE_TESTS_SUPPORT_DISKS_H_
#define TROVANE_TESTS_SUPPORT_DISKS_H_

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "platform/file_system.h"
#include "tests/support/memory_file_system.h"
#include "tests/support/sandbox.h"

namespace trovane::testing {

class MemoryDisk {
 public:
  static constexpr bool kWatches = false;

  FileSystem& files() { return files_; }
  void Write(std::string_view path, std::string_view content) {
    files_.Write(path, content);
  }
  std::string Read(std::string_view path) const { return files_.Read(path); }
  bool Exists(std::string_view path) const { return files_.Exists(path); }
  void MakeFolder(std::string_view path) {
    files_.MakeFolder(std::string("C:\\") + std::string(path));
  }
  void SetModified(std::string_view path, const LocalTime& time) {
    files_.SetModified(path, time);
  }
  void PlantLink(std::string_view path, std::string_view target) {
    files_.PlantLink(path, DriveForm(target));
  }
  void PlantFifo(std::string_view path) { files_.PlantSpecial(path); }
  static bool CanGiveAway() { return true; }
  void GiveAway(std::string_view path) { files_.GiveAway(path); }
  void Share(std::string_view path) { files_.Share(DriveForm(path)); }
  // The drive form of a path relative to the root of drive C.
  static std::string DriveForm(std::string_view relative);

 private:
  MemoryFileSystem files_;
};

class LinuxDisk {
 public:
  static constexpr bool kWatches = true;

  FileSystem& files() { return files_; }
  void Write(std::string_view path, std::string_view content) {
    sandbox_.Write(path, content);
  }
  std::string Read(std::string_view path) const { return sandbox_.Read(path); }
  bool Exists(std::string_view path) const { return sandbox_.Exists(path); }
  void MakeFolder(std::string_view path) { sandbox_.MakeFolder(path); }
  void SetModified(std::string_view path, const LocalTime& time) {
    EXPECT_TRUE(sandbox_.SetModified(path, time));
  }
  // The link holds the target's absolute Linux path.
  void PlantLink(std::string_view path, std::string_view target);
  void PlantFifo(std::string_view path);
  // Only root can give what it made to another user.
  static bool CanGiveAway();
  void GiveAway(std::string_view path);
  // Anyone may write in the folder, as in /tmp.
  void Share(std::string_view path);
  static std::string DriveForm(std::string_view relative) {
    return MemoryDisk::DriveForm(relative);
  }

 private:
  Sandbox sandbox_;
  LinuxFileSystem files_ = sandbox_.Files();
};

using Disks = ::testing::Types<MemoryDisk, LinuxDisk>;

}  // namespace trovane::testing

#endif  // TROVANE_TESTS_SUPPORT_DISKS_H_
