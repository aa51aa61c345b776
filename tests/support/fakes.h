// Fakes of the clock and the environment, for tests that need exact time
// stamps and chosen variables.
#ifndef TROVANE_TESTS_SUPPORT_FAKES_H_
#define TROVANE_TESTS_SUPPORT_FAKES_H_

#include <chrono>
#include <map>
#include <string>
#include <string_view>
#include <utility>

#include "platform/clock.h"
#include "platform/console.h"
#include "platform/environment.h"

namespace trovane::testing {

// A clock that stands still at a chosen moment; sleeping advances it.
class FakeClock : public Clock {
 public:
  FakeClock();
  ClockReading Now() override { return reading_; }
  double MonotonicSeconds() override { return seconds_; }
  void Sleep(std::chrono::milliseconds duration) override;

  // Sets the moment from its parts; `fraction` is added to the seconds
  // since midnight.
  void SetTime(int year, int month, int day, int hour, int minute, int second,
               float fraction = 0.0F);
  void Advance(std::chrono::milliseconds duration);
  int sleeps() const { return sleeps_; }

 private:
  ClockReading reading_;
  double seconds_ = 0.0;
  int sleeps_ = 0;
};

// An environment whose executable, current and run folders are one folder.
// Paths it names are in drive form, unless it is told the drive form of a
// path as the system names it.
class FakeEnvironment : public Environment {
 public:
  explicit FakeEnvironment(std::string program_folder)
      : program_folder_(std::move(program_folder)),
        current_folder_(program_folder_) {}

  std::string Get(std::string_view name) const override;
  bool Has(std::string_view name) const override {
    return variables_.contains(name);
  }
  // The fake program runs from its own folder.
  std::string ExecutableFolder() const override { return program_folder_; }
  std::string CurrentFolder() const override { return current_folder_; }
  std::string ToDriveForm(std::string_view path) const override;
  std::string RunFolder() const override {
    return ToDriveForm(program_folder_);
  }

  void Set(const std::string& name, const std::string& value) {
    variables_[name] = value;
  }
  // Makes ToDriveForm(`path`) give `drive_form`.
  void NameInDriveForm(const std::string& path, std::string drive_form) {
    drive_forms_[path] = std::move(drive_form);
  }

 private:
  std::string program_folder_;
  std::string current_folder_;
  std::map<std::string, std::string, std::less<>> drive_forms_;
  std::map<std::string, std::string, std::less<>> variables_;
};

// Standard streams in memory: what was written, and a terminal of a chosen
// width whose Enter is pressed at once.
class FakeConsole : public Console {
 public:
  bool ErrorIsTerminal() const override { return terminal; }
  int ErrorColumns() const override { return columns; }
  bool WriteError(std::string_view text) override {
    error.append(text);
    screen.append(text);
    return true;
  }
  bool WriteOutput(std::string_view text) override {
    output.append(text);
    screen.append(text);
    return true;
  }
  bool InputIsTerminal() const override { return terminal; }
  void WaitForEnter() override { ++enter_waits; }

  // What was written to a stream since the last time it was taken.
  static std::string Take(std::string& stream) {
    return std::exchange(stream, std::string());
  }

  bool terminal = false;
  int columns = 0;
  std::string error;
  std::string output;
  // Both streams in the order they were written, as a terminal that shows
  // both gets them.
  std::string screen;
  int enter_waits = 0;
};

}  // namespace trovane::testing

#endif  // TROVANE_TESTS_SUPPORT_FAKES_H_
