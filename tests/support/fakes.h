// Fakes of the clock and the environment, for tests that need exact time
// stamps and chosen variables.
#ifndef TROVANE_TESTS_SUPPORT_FAKES_H_
#define TROVANE_TESTS_SUPPORT_FAKES_H_

#include <chrono>
#include <map>
#include <string>

#include "platform/clock.h"
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
  std::string ProgramFolder() const override { return program_folder_; }
  std::string CurrentFolder() const override { return current_folder_; }

  void Set(const std::string& name, const std::string& value) {
    variables_[name] = value;
  }

 private:
  std::string program_folder_;
  std::string current_folder_;
  std::map<std::string, std::string, std::less<>> variables_;
};

}  // namespace trovane::testing

#endif  // TROVANE_TESTS_SUPPORT_FAKES_H_
