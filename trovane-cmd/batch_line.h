// One line of a scan batch, taken apart by the fixed shapes the program
// writes. Nothing here is an operator: "&", "|", "^", "<" and "%" are
// ordinary characters of names and texts, and blanks in names need no
// quotes. Only ">" carries meaning, as the start of a redirection.
#ifndef TROVANE_TROVANE_CMD_BATCH_LINE_H_
#define TROVANE_TROVANE_CMD_BATCH_LINE_H_

#include <string_view>

namespace trovane {

enum class Redirection {
  kNone,
  kReplace,  // "> FILE": the file is created or emptied first
  kAppend,   // ">> FILE": written at the end, created when missing
};

struct BatchLine {
  enum class Command {
    kNothing,     // a blank line
    kEchoSwitch,  // "Echo off" or "Echo on": commands are never echoed
    kEcho,        // argument: the text
    kDel,         // argument: the path
    kCd,          // argument: the path ("\" for "Cd\")
    kDir,         // argument: the PATH of "Dir PATH /s /b"
    kUnknown,
  };

  Command command = Command::kNothing;
  std::string_view argument;
  Redirection redirection = Redirection::kNone;
  std::string_view target;  // the FILE of a redirection
};

// Takes apart one line, its line end already removed (a CR left at its end
// is dropped). The views point into `line`. Command words match without
// regard to case, and a leading "@" is allowed on any command.
BatchLine ParseBatchLine(std::string_view line);

}  // namespace trovane

#endif  // TROVANE_TROVANE_CMD_BATCH_LINE_H_
