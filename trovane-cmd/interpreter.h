// The command interpreter that runs the scan batch. It knows only the
// commands the program writes, runs them itself and never starts another
// program, so nothing in a batch line can run a command or write anywhere
// but a named redirection target.
#ifndef TROVANE_TROVANE_CMD_INTERPRETER_H_
#define TROVANE_TROVANE_CMD_INTERPRETER_H_

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/console.h"
#include "platform/environment.h"
#include "platform/file_system.h"
#include "platform/index_files.h"
#include "platform/listing_count.h"
#include "platform/output_file.h"
#include "platform/past_index.h"
#include "trovane-cmd/batch_line.h"
#include "trovane-cmd/batch_paths.h"
#include "trovane-cmd/folder_reader.h"
#include "trovane-cmd/folder_walker.h"
#include "trovane-cmd/index_recorder.h"

namespace trovane {

class Interpreter {
 public:
  enum class Outcome {
    kRan,          // every line ran (failed commands were reported)
    kUnreadable,   // the batch cannot be read
    kWriteFailed,  // a write to a redirection target failed, and the
                   // lines after it were not run
  };

  // Reaches the disk through `files`, every path absolute in drive form,
  // and Dir reads it through `folders`. The current folder, which "Cd"
  // changes, starts as the environment's. Echo and Dir without a
  // redirection write to the console's standard output, and the messages
  // about failed commands go to its standard error. `files`, `environment`
  // and `console` must outlive the interpreter. With `indexes`, a listing
  // into a file keeps an index beside it, and the next listing of the same
  // folder into it reads only the folders that changed since.
  Interpreter(FileSystem& files, const Environment& environment,
              Console& console, std::unique_ptr<FolderReader> folders,
              std::unique_ptr<IndexFiles> indexes = nullptr);

  // Runs the lines of the batch at `path` (drive form or a path as the
  // system names it) in turn, up to the first failed write to a
  // redirection target: what follows it, the batch's completion signal
  // among them, must not be written as if the listing were whole.
  Outcome RunFile(std::string_view path);

  // Runs one line; a line that is not understood gets a message and is
  // otherwise passed over. False when a write to a redirection target
  // failed (a full disk): no further line of the batch is to run then.
  bool RunLine(std::string_view line);

  // Counts every path the batch's listings write in `count`.
  void ReportListedPaths(ListingCount* count) { count_ = count; }

  // The current folder, absolute in drive form.
  const std::string& current_folder() const { return paths_.current_folder(); }

 private:
  // False when a write to the redirection target failed.
  bool Echo(const BatchLine& line);
  bool List(const BatchLine& line);
  // The indexes of a listing into a file: the one its last listing there
  // left, and the one this listing writes.
  struct ListingIndexes {
    std::unique_ptr<PastIndex> past;
    std::unique_ptr<IndexRecorder> next;
    WalkIndex walk;  // what the walk takes of both
  };
  // Those of a listing of `request` into `target`, the file the line
  // redirects to, as it stands before the listing.
  ListingIndexes OpenIndexes(const BatchLine& line,
                             const ListingRequest& request,
                             const WritableFile& target);
  // The version of `target`, written by the line's listing, that its index
  // may vouch for: the listing wrote it from its start, and it is old
  // enough that any later change moves it. Nothing otherwise.
  std::optional<FileVersion> VouchedVersion(const BatchLine& line,
                                            const WritableFile& target) const;
  void Delete(std::string_view path);
  void ChangeFolder(std::string_view path);

  // The redirection target of `line`, opened for appending, or else in
  // `replace_mode` (emptied, or to be written over); null (after a message)
  // when it cannot be opened.
  std::unique_ptr<WritableFile> OpenTarget(const BatchLine& line,
                                           WriteMode replace_mode);

  void Complain(std::string_view message, std::string_view subject = {});
  void ComplainOfFailedWrite(std::string_view target);
  bool IsLink(const std::string& path);
  // The line a listing that left names out ends with.
  static std::string PassedOverText(size_t names);

  FileSystem* files_;
  Console* console_;
  BatchPaths paths_;
  std::unique_ptr<FolderReader> folders_;
  std::unique_ptr<IndexFiles> indexes_;
  // The listings written to each disk map since it was last emptied, the
  // map by its absolute drive-form path: each has an index of its own.
  std::map<std::string, int> listings_into_;
  ListingCount* count_ = nullptr;
  uint64_t listed_ = 0;  // paths listed by the batch so far
};

}  // namespace trovane

#endif  // TROVANE_TROVANE_CMD_INTERPRETER_H_
