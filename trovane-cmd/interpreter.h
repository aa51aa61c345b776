// The command interpreter that runs the scan batch. It knows only the
// commands the program writes, runs them itself and never starts another
// program, so nothing in a batch line can run a command or write anywhere
// but a named redirection target.
#ifndef TROVANE_TROVANE_CMD_INTERPRETER_H_
#define TROVANE_TROVANE_CMD_INTERPRETER_H_

#include <string>
#include <string_view>

#include "platform/linux/drive_map.h"
#include "platform/linux/path_view.h"
#include "platform/linux/unique_fd.h"
#include "platform/listing_count.h"
#include "trovane-cmd/batch_line.h"
#include "trovane-cmd/pseudo_mounts.h"

namespace trovane {

class Interpreter {
 public:
  // Where Echo without a redirection and Dir without one write, and where
  // the messages about failed commands go.
  struct Streams {
    int out;
    int err;
  };

  // `current_folder` is a Linux folder; "Cd" changes it.
  Interpreter(DriveMap drives, std::string current_folder, Streams streams,
              PseudoMounts pseudo_mounts);

  // Runs every line of the batch at `path` (drive form or Linux path) in
  // turn. False when the batch cannot be read.
  bool RunFile(std::string_view path);

  // Runs one line; a line that is not understood gets a message and is
  // otherwise passed over.
  void RunLine(std::string_view line);

  // Counts every path the batch's listings write in `count`.
  void ReportListedPaths(ListingCount* count) { count_ = count; }

  // The current folder as a Linux path.
  const std::string& current_folder() const { return paths_.current_folder(); }

 private:
  void Echo(const BatchLine& line);
  void Delete(std::string_view path);
  void ChangeFolder(std::string_view path);
  void List(const BatchLine& line);

  // The descriptor a command writes to: its redirection target, opened in
  // `target`, or the standard output. -1 (after a message) when the target
  // cannot be opened.
  int OutputOf(const BatchLine& line, UniqueFd* target);

  void Complain(std::string_view message, std::string_view subject = {});

  PathView paths_;
  Streams streams_;
  PseudoMounts pseudo_mounts_;
  ListingCount* count_ = nullptr;
  uint64_t listed_ = 0;  // paths listed by the batch so far
};

}  // namespace trovane

#endif  // TROVANE_TROVANE_CMD_INTERPRETER_H_
