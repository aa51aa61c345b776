// What the program learns from the process it runs in: environment
// variables, the folder of its own executable and the current folder.
#ifndef TROVANE_PLATFORM_ENVIRONMENT_H_
#define TROVANE_PLATFORM_ENVIRONMENT_H_

#include <string>
#include <string_view>

namespace trovane {

class Environment {
 public:
  virtual ~Environment() = default;
  // The value of the variable, or the empty text when it is not set.
  virtual std::string Get(std::string_view name) const = 0;
  // True when the variable is set, even to the empty text.
  virtual bool Has(std::string_view name) const = 0;
  // The Linux folder that holds the real executable.
  virtual std::string ProgramFolder() const = 0;
  // The Linux current working folder.
  virtual std::string CurrentFolder() const = 0;
};

// The environment of this process.
class ProcessEnvironment : public Environment {
 public:
  std::string Get(std::string_view name) const override;
  bool Has(std::string_view name) const override;
  std::string ProgramFolder() const override;
  std::string CurrentFolder() const override;
};

}  // namespace trovane

#endif  // TROVANE_PLATFORM_ENVIRONMENT_H_
