#include "platform/environment.h"

#include <cstdlib>
#include <string>

namespace trovane {

std::string ProcessEnvironment::Get(std::string_view name) const {
  const char* value = std::getenv(std::string(name).c_str());
  return value == nullptr ? std::string() : std::string(value);
}

bool ProcessEnvironment::Has(std::string_view name) const {
  return std::getenv(std::string(name).c_str()) != nullptr;
}

std::string ProcessEnvironment::RunFolder() const {
  return run_folder_.empty() ? ToDriveForm(ExecutableFolder()) : run_folder_;
}

}  // namespace trovane
