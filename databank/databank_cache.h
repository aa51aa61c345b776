// The databanks this process has read, each kept with the version of the
// file it was read from. An entry serves only that version: another
// process that changes the file gives it another one (a rewrite makes a new
// file, an append a new size, any write a new time), and the file is read
// again. So the cache can never serve what the file no longer holds.
#ifndef TROVANE_DATABANK_DATABANK_CACHE_H_
#define TROVANE_DATABANK_DATABANK_CACHE_H_

#include <string>
#include <unordered_map>

#include "databank/databank_lines.h"
#include "platform/file_system.h"

namespace trovane {

class DatabankCache {
 public:
  // The lines of the file at `path` when they were read at `version`.
  DatabankLines* Find(const std::string& path, const FileVersion& version);

  DatabankLines& Store(const std::string& path, const FileVersion& version,
                       DatabankLines lines);

  // Notes the version a file has after this process changed it in a way
  // its lines here already show.
  void Update(const std::string& path, const FileVersion& version);

  void Forget(const std::string& path) { entries_.erase(path); }

 private:
  struct Entry {
    FileVersion version;
    DatabankLines lines;
  };
  std::unordered_map<std::string, Entry> entries_;
};

}  // namespace trovane

#endif  // TROVANE_DATABANK_DATABANK_CACHE_H_
