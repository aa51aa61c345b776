#include "trovane-cmd/batch_line.h"

#include "platform/text.h"

namespace trovane {
namespace {

using Command = BatchLine::Command;

bool IsLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

std::string_view SkipLeadingSpace(std::string_view text) {
  const size_t start = text.find_first_not_of(" \t");
  return start == std::string_view::npos ? std::string_view()
                                         : text.substr(start);
}

BatchLine Unknown() { return BatchLine{Command::kUnknown, {}, {}, {}}; }

// "> FILE" or ">> FILE" at the start of `text`; false when `text` is no
// redirection or names no file.
bool ParseRedirection(std::string_view text, BatchLine* line) {
  if (text.empty() || text.front() != '>') {
    return false;
  }
  const bool append = text.size() > 1 && text[1] == '>';
  line->redirection = append ? Redirection::kAppend : Redirection::kReplace;
  line->target = TrimBlanks(text.substr(append ? 2 : 1));
  return !line->target.empty();
}

// "Echo TEXT", its redirection starting at the last ">": everything before
// it, blanks included, is the text.
BatchLine ParseEcho(std::string_view rest) {
  if (rest.empty()) {
    return BatchLine{Command::kEcho, {}, {}, {}};
  }
  if (rest.front() != ' ') {
    return Unknown();
  }
  std::string_view text = rest.substr(1);
  const std::string_view bare = TrimBlanks(text);
  if (EqualsNoCase(bare, "off") || EqualsNoCase(bare, "on")) {
    return BatchLine{Command::kEchoSwitch, {}, {}, {}};
  }
  BatchLine line{Command::kEcho, text, {}, {}};
  // The batch's progress lines carry a line of the user's folder list,
  // which may hold ">": a line of that shape is plain text, so that nothing
  // in a folder list can make the batch write a file.
  if (text.starts_with("Now scanning ") && text.ends_with("...")) {
    return line;
  }
  size_t last = text.rfind('>');
  if (last == std::string_view::npos) {
    return line;
  }
  if (last > 0 && text[last - 1] == '>') {
    --last;
  }
  if (!ParseRedirection(text.substr(last), &line)) {
    return Unknown();
  }
  line.argument = text.substr(0, last);
  return line;
}

// "Del PATH" and "Cd PATH": the rest of the line is one path. "Cd" may be
// followed right away by the path when that starts with "\" or ".".
BatchLine ParsePathCommand(Command command, std::string_view rest,
                           bool path_may_follow_directly) {
  const bool attached = path_may_follow_directly && !rest.empty() &&
                        (rest.front() == '\\' || rest.front() == '.');
  if (!attached && (rest.empty() || rest.front() != ' ')) {
    return Unknown();
  }
  const std::string_view path = TrimBlanks(rest);
  if (path.empty()) {
    return Unknown();
  }
  return BatchLine{command, path, {}, {}};
}

// The switches of a listing, in either order.
bool IsListingSwitches(std::string_view text) {
  return EqualsNoCase(text, " /s /b") || EqualsNoCase(text, " /b /s");
}

// "Dir PATH /s /b", optionally followed by a redirection. PATH is
// everything between "Dir " and the last switches that the line's end or a
// redirection follows, so it may hold blanks, "&" and ">" itself.
BatchLine ParseDir(std::string_view rest) {
  if (rest.empty() || rest.front() != ' ') {
    return Unknown();
  }
  constexpr size_t kSwitchesSize = 6;
  for (size_t at = rest.size(); at-- > 0;) {
    if (at + kSwitchesSize > rest.size() ||
        !IsListingSwitches(rest.substr(at, kSwitchesSize))) {
      continue;
    }
    // The blank after "Dir" is the one the switches start with when the
    // line names no PATH at all.
    const std::string_view path =
        at == 0 ? rest.substr(0, 0) : rest.substr(1, at - 1);
    BatchLine line{Command::kDir, path, {}, {}};
    const std::string_view tail = TrimBlanks(rest.substr(at + kSwitchesSize));
    if (tail.empty() || ParseRedirection(tail, &line)) {
      return line;
    }
  }
  return Unknown();
}

}  // namespace

BatchLine ParseBatchLine(std::string_view line) {
  if (!line.empty() && line.back() == '\r') {
    line.remove_suffix(1);
  }
  line = SkipLeadingSpace(line);
  if (!line.empty() && line.front() == '@') {
    line = SkipLeadingSpace(line.substr(1));
  }
  if (line.empty()) {
    return BatchLine{};
  }
  size_t word_size = 0;
  while (word_size < line.size() && IsLetter(line[word_size])) {
    ++word_size;
  }
  const std::string_view word = line.substr(0, word_size);
  const std::string_view rest = line.substr(word_size);
  if (EqualsNoCase(word, "Echo")) {
    return ParseEcho(rest);
  }
  if (EqualsNoCase(word, "Del")) {
    return ParsePathCommand(Command::kDel, rest, false);
  }
  if (EqualsNoCase(word, "Cd")) {
    return ParsePathCommand(Command::kCd, rest, true);
  }
  if (EqualsNoCase(word, "Dir")) {
    return ParseDir(rest);
  }
  return Unknown();
}

}  // namespace trovane
