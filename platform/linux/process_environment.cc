// The folders of this process as Linux names them.
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "platform/environment.h"

namespace trovane {

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

}  // namespace trovane
