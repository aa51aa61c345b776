// An environment that names Linux paths in drive form through a drive
// table, as the interpreter's own environment does.
#ifndef TROVANE_TESTS_TROVANE_CMD_DRIVE_MAP_ENVIRONMENT_H_
#define TROVANE_TESTS_TROVANE_CMD_DRIVE_MAP_ENVIRONMENT_H_

#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "platform/linux/drive_map.h"
#include "tests/support/fakes.h"

namespace trovane::testing {

class DriveMapEnvironment : public FakeEnvironment {
 public:
  using FakeEnvironment::FakeEnvironment;

  void MapDrives(DriveMap drives) { drives_ = std::move(drives); }

  std::string ToDriveForm(std::string_view path) const override {
    return drives_ ? drives_->DriveFormOf(path, CurrentFolder())
                   : FakeEnvironment::ToDriveForm(path);
  }

 private:
  std::optional<DriveMap> drives_;
};

}  // namespace trovane::testing

#endif  // TROVANE_TESTS_TROVANE_CMD_DRIVE_MAP_ENVIRONMENT_H_
