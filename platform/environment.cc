#include "platform/environment.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

namespace trovane {

std::string ProcessEnvironment::Get(std::string_view name) const {
  const char* value = std::getenv(std::string(name).c_str());
  return value == nullptr ? std::string() : std::string(value);
}

bool ProcessEnvironment::Has(std::string_view name) const {
  return std::getenv(std::string(name).c_str()) != nullptr;
}

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

std::string ProcessEnvironment::ProgramFolder() const {
  return program_folder_.empty() ? ExecutableFolder() : program_folder_;
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
