// A databank layer over a disk in memory: the program lies in C:\Run, the
// temporary folder is C:\Temp and the clock stands at a whole second, so
// log lines carry no fraction.
#ifndef TROVANE_TESTS_DATABANK_DATABANK_FIXTURE_H_
#define TROVANE_TESTS_DATABANK_DATABANK_FIXTURE_H_

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "databank/data.h"
#include "platform/file_numbers.h"
#include "tests/support/fakes.h"
#include "tests/support/memory_file_system.h"
#include "tests/support/text_files.h"

namespace trovane::testing {

class DatabankTest : public ::testing::Test {
 protected:
  DatabankTest() {
    files_.MakeFolder("C:\\Run");
    files_.MakeFolder("C:\\Temp");
    environment_.Set("TEMP", "C:\\Temp");
  }

  // Starts logging and settles the access settings, then forgets the two
  // lines that this writes, so tests see only their own operation's lines.
  void OpenLogged() {
    data_.StartDatabankLog(true);
    data_.OpenDatabankAccess();
    files_.Write("Run/Database_IO.log", "");
  }

  // The messages of the I/O log, each line's time stamp checked and cut.
  std::vector<std::string> IoLog() const {
    return StampedMessages(files_.Read("Run/Database_IO.log"));
  }

  MemoryFileSystem files_;
  FakeClock clock_;
  FakeEnvironment environment_{"C:\\Run"};
  Data data_{files_, FileNumbers::Process(), clock_, environment_};
};

}  // namespace trovane::testing

#endif  // TROVANE_TESTS_DATABANK_DATABANK_FIXTURE_H_
