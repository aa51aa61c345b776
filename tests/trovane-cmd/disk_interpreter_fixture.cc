#include "tests/trovane-cmd/disk_interpreter_fixture.h"

#include <utility>

#include "trovane-cmd/linux/linux_folder_reader.h"

namespace trovane::testing {

DiskInterpreterTest::DiskInterpreterTest() {
  drives_environment_.MapDrives(sandbox_.Drives());
  UsePseudoMounts(PseudoMounts());
}

void DiskInterpreterTest::UsePseudoMounts(PseudoMounts mounts) {
  UseFolderReader(std::make_unique<LinuxFolderReader>(
      PathView(sandbox_.Drives(), sandbox_.root()), std::move(mounts)));
}

void DiskInterpreterTest::UseFolderReader(
    std::unique_ptr<FolderReader> reader) {
  Start(files_, std::move(reader), &drives_environment_);
}

}  // namespace trovane::testing
