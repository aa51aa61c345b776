// A fresh folder for one test, mapped as drive C, removed afterwards.
#ifndef TROVANE_TESTS_SUPPORT_SANDBOX_H_
#define TROVANE_TESTS_SUPPORT_SANDBOX_H_

#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"
#include "platform/linux/drive_map.h"
#include "platform/linux/linux_file_system.h"

namespace trovane::testing {

class Sandbox {
 public:
  Sandbox();
  Sandbox(const Sandbox&) = delete;
  Sandbox& operator=(const Sandbox&) = delete;
  ~Sandbox();

  // The Linux folder that stands for drive C.
  const std::string& root() const { return root_; }
  // The Linux path of a path relative to the root ("Run/FileList.txt").
  std::string Path(std::string_view relative) const;

  void Write(std::string_view relative, std::string_view content) const;
  std::string Read(std::string_view relative) const;
  bool Exists(std::string_view relative) const;
  void MakeFolder(std::string_view relative) const;
  // Gives the file the local moment `time` as its last-modified time;
  // false when that could not be done.
  bool SetModified(std::string_view relative, const LocalTime& time) const;

  // Makes `top` a chain of `depth` folders named `name`, each but the last
  // with an empty folder "s" beside the next, the last holding the empty
  // file "bottom": deeper than the longest path the system names at once.
  // False when a folder of it could not be made.
  bool MakeChain(std::string_view top, const std::string& name,
                 int depth) const;
  // Removes such a chain, whose deepest paths are too long to name and
  // to remove by name.
  void RemoveChain(std::string_view top, const std::string& name) const;

  // Drive C is the sandbox; nothing else is mapped but Z: ("/").
  DriveMap Drives() const;
  // A file system on that drive table, its current folder the root.
  LinuxFileSystem Files() const;

 private:
  std::string root_;
};

// The messages of the activity log in C:\Run.
std::vector<std::string> ActivityLogMessages(const Sandbox& sandbox);

}  // namespace trovane::testing

#endif  // TROVANE_TESTS_SUPPORT_SANDBOX_H_
