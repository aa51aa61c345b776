// One Set carried out on a databank file that the caller has locked.
//
// A databank is never written in place: the new content is built in a
// staging file beside it, under a hidden name that file searches and disk
// listings pass over, and then takes the databank's name in one rename. A
// reader, or the next run after a crash, finds the old content or the new
// one, whole. The staging name is fixed, and only the holder of the
// folder's lock ever uses it.
#ifndef TROVANE_DATABANK_REWRITE_H_
#define TROVANE_DATABANK_REWRITE_H_

#include <string>
#include <string_view>

#include "platform/file_numbers.h"
#include "platform/file_system.h"

namespace trovane {

// The file numbers a Set held, and what it found, for its log lines.
struct SetOutcome {
  int rewritten_serial = 0;  // the new content, when the databank existed
  int old_serial = 0;        // the old content, read
  int appended_serial = 0;   // the new entry, appended
  bool found = false;        // a line of the key was dropped
  bool written = false;      // the new content took the databank's place
  // The old content was read to its end, or there was none: when nothing
  // was found, the databank holds no line of the key.
  bool read_whole = false;
};

// Drops every line of `key` and the lines a rewrite always drops, then
// appends key=value (both trimmed) unless `value` is empty. `path` is the
// databank's file itself, a link already followed.
SetOutcome RewriteDatabank(FileSystem& files, std::string_view path,
                           std::string_view key, std::string_view value);

// The same Set when the databank's lines would all come back from the
// rewrite as they stand and none is of `key`: the entry's line is appended
// in one write, which a reader sees whole or not at all, and the serials
// are those the rewrite would have shown. `value` is not empty. A write
// that fails is cut back off, so no part of a line stays behind.
SetOutcome AppendToDatabank(FileSystem& files, FileNumbers& numbers,
                            std::string_view path, int64_t length,
                            std::string_view key, std::string_view value);

// The line a Set writes for an entry.
std::string EntryLine(std::string_view key, std::string_view value);

// Where a rewrite of the databank at `path` builds its new content.
std::string StagingPath(std::string_view path);

}  // namespace trovane

#endif  // TROVANE_DATABANK_REWRITE_H_
