// Index files the Linux way: the index of the disk map FOLDER/NAME is the
// hidden file FOLDER/.NAME.index (.NAME.2.index for the second listing
// written to the map, and so on), written as FOLDER/.NAME.index.new and
// renamed over it. Only an ordinary file of this user's that no one else
// may write is read, opened without following a link and without waiting.
#ifndef TROVANE_PLATFORM_LINUX_LINUX_INDEX_FILES_H_
#define TROVANE_PLATFORM_LINUX_LINUX_INDEX_FILES_H_

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/index_files.h"
#include "platform/linux/path_view.h"

namespace trovane {

class LinuxIndexFiles : public IndexFiles {
 public:
  explicit LinuxIndexFiles(PathView paths) : paths_(std::move(paths)) {}

  // The name of the index of the `ordinal`th listing to the disk map
  // named `target_name`.
  static std::string IndexName(std::string_view target_name, int ordinal);

  std::unique_ptr<IndexSource> OpenLast(std::string_view target,
                                        int ordinal) override;
  std::unique_ptr<IndexSink> StartNext(std::string_view target,
                                       int ordinal) override;
  int64_t NowNs() const override;

 private:
  const PathView paths_;
};

}  // namespace trovane

#endif  // TROVANE_PLATFORM_LINUX_LINUX_INDEX_FILES_H_
