// A databank layer over a sandbox: drive C is the sandbox, the program lies
// in C:\Run, the temporary folder is C:\Temp and the clock stands at a whole
// second, so log lines carry no fraction.
#ifndef TROVANE_TESTS_DATABANK_DATABANK_FIXTURE_H_
#define TROVANE_TESTS_DATABANK_DATABANK_FIXTURE_H_

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "databank/data.h"
#include "tests/support/fakes.h"
#include "tests/support/sandbox.h"
#include "tests/support/text_files.h"

namespace trovane::testing {

class DatabankTest : public ::testing::Test {
 protected:
  DatabankTest()
      : files_(sandbox_.Files()),
        environment_(sandbox_.Path("Run")),
        data_(files_, clock_, environment_) {
    sandbox_.MakeFolder("Run");
    sandbox_.MakeFolder("Temp");
    environment_.Set("TEMP", sandbox_.Path("Temp"));
  }

  // Starts logging and settles the access settings, then forgets the two
  // lines that this writes, so tests see only their own operation's lines.
  void OpenLogged() {
    data_.StartDatabankLog(true);
    data_.OpenDatabankAccess();
    sandbox_.Write("Run/Database_IO.log", "");
  }

  // The messages of the I/O log, each line's time stamp checked and cut.
  std::vector<std::string> IoLog() const;

  Sandbox sandbox_;
  LinuxFileSystem files_;
  FakeClock clock_;
  FakeEnvironment environment_;
  Data data_;
};

}  // namespace trovane::testing

#endif  // TROVANE_TESTS_DATABANK_DATABANK_FIXTURE_H_
