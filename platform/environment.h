// What the program learns from the process it runs in: environment
// variables, the folder of its own executable, the run folder and the
// current folder.
#ifndef TROVANE_PLATFORM_ENVIRONMENT_H_
#define TROVANE_PLATFORM_ENVIRONMENT_H_

#include <string>
#include <string_view>
#include <utility>

namespace trovane {

class Environment {
 public:
  virtual ~Environment() = default;
  // The value of the variable, or the empty text when it is not set.
  virtual std::string Get(std::string_view name) const = 0;
  // True when the variable is set, even to the empty text.
  virtual bool Has(std::string_view name) const = 0;
  // The Linux folder that holds the real executable, where the programs
  // that come with it are looked for first.
  virtual std::string ExecutableFolder() const = 0;
  // The program's folder, the run folder, as a Linux path: where the run's
  // lists and logs are. It need not be the executable's folder, since an
  // installed program cannot keep them beside itself.
  virtual std::string ProgramFolder() const = 0;
  // The Linux current working folder.
  virtual std::string CurrentFolder() const = 0;
};

// The environment of this process.
class ProcessEnvironment : public Environment {
 public:
  std::string Get(std::string_view name) const override;
  bool Has(std::string_view name) const override;
  std::string ExecutableFolder() const override;
  // The folder SetProgramFolder gave, else the executable's folder.
  std::string ProgramFolder() const override;
  std::string CurrentFolder() const override;

  // Makes the Linux folder `folder` the run folder.
  void SetProgramFolder(std::string folder) {
    program_folder_ = std::move(folder);
  }

 private:
  std::string program_folder_;
};

}  // namespace trovane

#endif  // TROVANE_PLATFORM_ENVIRONMENT_H_
