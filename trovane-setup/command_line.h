// What the command line of trovane-setup asks for: a run, in the folder it
// names or in the default one, the usage text, or the version.
#ifndef TROVANE_TROVANE_SETUP_COMMAND_LINE_H_
#define TROVANE_TROVANE_SETUP_COMMAND_LINE_H_

#include <optional>
#include <span>
#include <string>

namespace trovane {

struct CommandLine {
  enum class Request { kRun, kShowHelp, kShowVersion, kWrong };
  Request request = Request::kRun;
  // For a run: FOLDER as given, a Linux path or a drive-form path; nothing
  // for the default run folder.
  std::optional<std::string> folder = std::nullopt;
  // For a wrong command line: what is wrong with it, in a few words.
  std::string problem = {};
};

// Reads the arguments that follow the program's name.
CommandLine ParseCommandLine(std::span<const char* const> arguments);

}  // namespace trovane

#endif  // TROVANE_TROVANE_SETUP_COMMAND_LINE_H_
