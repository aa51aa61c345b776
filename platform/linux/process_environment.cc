// The folders of this process as Linux names them, and their drive form
// through the drive table the environment describes.
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <string>
#include <vector>

#include "platform/environment.h"
#include "platform/linux/drive_map.h"
#include "platform/text.h"

namespace trovane {

class ProcessEnvironment::DriveNames {
 public:
  explicit DriveNames(const Environment& environment) {
    // A map the environment cannot give stops the run before anything is
    // shown in drive form; until then, Z: alone names every path.
    std::string problem;
    if (std::optional<DriveMap> map =
            DriveMap::FromEnvironment(environment, &problem)) {
      drives_ = std::move(*map);
    }
  }
  const DriveMap& drives() const { return drives_; }

 private:
  DriveMap drives_;
};

ProcessEnvironment::ProcessEnvironment() = default;
ProcessEnvironment::~ProcessEnvironment() = default;

std::string ProcessEnvironment::ExecutableFolder() const {
  std::vector<char> buffer(4096);
  for (;;) {
    const ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n < 0) return CurrentFolder();
    if (static_cast<size_t>(n) < buffer.size()) {
      std::string exe(buffer.data(), static_cast<size_t>(n));
      const size_t slash = exe.rfind('/');
      return slash == 0 ? "/" : exe.substr(0, slash);
    }
    buffer.resize(buffer.size() * 2);
  }
}

std::string ProcessEnvironment::CurrentFolder() const {
  std::vector<char> buffer(4096);
  while (getcwd(buffer.data(), buffer.size()) == nullptr) {
    if (errno != ERANGE) return "/";
    buffer.resize(buffer.size() * 2);
  }
  return buffer.data();
}

std::string ProcessEnvironment::ToDriveForm(std::string_view path) const {
  if (HasDriveLetter(path)) return std::string(path);
  if (!drive_names_) drive_names_ = std::make_unique<DriveNames>(*this);
  return drive_names_->drives().DriveFormOf(path, CurrentFolder());
}

}  // namespace trovane
