// The command line of trovane-setup.
#include "trovane-setup/command_line.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace trovane {
namespace {

using Request = CommandLine::Request;

TEST(CommandLineTest, ReadsTheRequestTheFolderAndWhatIsWrong) {
  struct Case {
    std::vector<const char*> arguments;
    Request request;
    std::optional<std::string> folder;
    std::string problem;
  };
  const Case cases[] = {
      {{}, Request::kRun, std::nullopt, ""},
      {{"/home/u/vek-setup"}, Request::kRun, "/home/u/vek-setup", ""},
      {{"C:\\Vek Setup"}, Request::kRun, "C:\\Vek Setup", ""},
      {{"--help"}, Request::kShowHelp, std::nullopt, ""},
      {{"--version"}, Request::kShowVersion, std::nullopt, ""},
      {{"-h"}, Request::kWrong, std::nullopt, "unknown option -h"},
      {{"-"}, Request::kWrong, std::nullopt, "unknown option -"},
      {{"Run", "--folder=Run"},
       Request::kWrong,
       std::nullopt,
       "unknown option --folder=Run"},
      {{"Run", "Other"}, Request::kWrong, std::nullopt, "one argument at most"},
      {{"--help", "Run"},
       Request::kWrong,
       std::nullopt,
       "one argument at most"},
      {{""}, Request::kWrong, std::nullopt, "FOLDER is empty"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments.empty() ? "(none)" : c.arguments.front());
    const CommandLine command = ParseCommandLine(c.arguments);
    EXPECT_EQ(command.request, c.request);
    EXPECT_EQ(command.folder, c.folder);
    EXPECT_EQ(command.problem, c.problem);
  }
}

}  // namespace
}  // namespace trovane
