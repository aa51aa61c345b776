// Interpreters on a sandbox of the real Linux disk, read by the Linux
// reader, for what only the real disk shows.
#ifndef TROVANE_TESTS_TROVANE_CMD_DISK_INTERPRETER_FIXTURE_H_
#define TROVANE_TESTS_TROVANE_CMD_DISK_INTERPRETER_FIXTURE_H_

#include <memory>

#include "platform/linux/linux_file_system.h"
#include "tests/support/sandbox.h"
#include "tests/trovane-cmd/drive_map_environment.h"
#include "tests/trovane-cmd/interpreter_fixture.h"
#include "trovane-cmd/linux/pseudo_mounts.h"

namespace trovane::testing {

// Drive C is the sandbox; the current folder is its root.
class DiskInterpreterTest : public InterpreterFixture {
 protected:
  DiskInterpreterTest();

  // Starts over with the given pseudo mounts (none by default).
  void UsePseudoMounts(PseudoMounts mounts);
  // Starts over with the given folder reader.
  void UseFolderReader(std::unique_ptr<FolderReader> reader);

  Sandbox sandbox_;
  LinuxFileSystem files_ = sandbox_.Files();
  DriveMapEnvironment drives_environment_{"C:\\"};
};

}  // namespace trovane::testing

#endif  // TROVANE_TESTS_TROVANE_CMD_DISK_INTERPRETER_FIXTURE_H_
