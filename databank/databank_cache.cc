#include "databank/databank_cache.h"

namespace trovane {

DatabankLines* DatabankCache::Find(const std::string& path,
                                   const FileVersion& version) {
  const auto it = entries_.find(path);
  if (it == entries_.end() || !(it->second.version == version)) return nullptr;
  return &it->second.lines;
}

DatabankLines& DatabankCache::Store(const std::string& path,
                                    const FileVersion& version,
                                    DatabankLines lines) {
  Entry& entry =
      entries_.insert_or_assign(path, Entry{version, std::move(lines)})
          .first->second;
  return entry.lines;
}

void DatabankCache::Update(const std::string& path,
                           const FileVersion& version) {
  const auto it = entries_.find(path);
  if (it != entries_.end()) it->second.version = version;
}

}  // namespace trovane
