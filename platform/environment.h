// What the program learns from the process it runs in: environment
// variables, the folder of its own executable, the current folder, and how
// the paths the system gives are written in drive form.
#ifndef TROVANE_PLATFORM_ENVIRONMENT_H_
#define TROVANE_PLATFORM_ENVIRONMENT_H_

#include <memory>
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
  // The folder, as the system names it, that holds the real executable:
  // where the programs that come with it are looked for first.
  virtual std::string ExecutableFolder() const = 0;
  // The current working folder, as the system names it.
  virtual std::string CurrentFolder() const = 0;
  // The drive form of a path as the system names it (on Linux through the
  // drive letters the environment maps); a path in drive form already is
  // returned as given.
  virtual std::string ToDriveForm(std::string_view path) const = 0;
  // The run folder in drive form: where the run's lists, scan batch and
  // logs are. It need not be the executable's folder, since an installed
  // program cannot keep them beside itself.
  virtual std::string RunFolder() const = 0;
};

// The environment of this process.
class ProcessEnvironment : public Environment {
 public:
  ProcessEnvironment();
  ~ProcessEnvironment() override;

  std::string Get(std::string_view name) const override;
  bool Has(std::string_view name) const override;
  std::string ExecutableFolder() const override;
  std::string CurrentFolder() const override;
  std::string ToDriveForm(std::string_view path) const override;
  // The folder SetRunFolder gave, else the executable's folder.
  std::string RunFolder() const override;

  // Makes `folder`, a path in drive form, the run folder.
  void SetRunFolder(std::string folder) { run_folder_ = std::move(folder); }

 private:
  // What the system keeps of its own to name paths in drive form (Linux's
  // drive table), made when first asked.
  class DriveNames;
  mutable std::unique_ptr<DriveNames> drive_names_;
  std::string run_folder_;
};

}  // namespace trovane

#endif  // TROVANE_PLATFORM_ENVIRONMENT_H_
