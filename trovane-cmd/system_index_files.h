// The index files of the system the interpreter runs on.
#ifndef TROVANE_TROVANE_CMD_SYSTEM_INDEX_FILES_H_
#define TROVANE_TROVANE_CMD_SYSTEM_INDEX_FILES_H_

#include <memory>

#include "platform/environment.h"
#include "platform/index_files.h"

namespace trovane {

// The drive-form paths taken as `environment` maps the drives; null where
// the system keeps no index.
std::unique_ptr<IndexFiles> MakeSystemIndexFiles(
    const Environment& environment);

}  // namespace trovane

#endif  // TROVANE_TROVANE_CMD_SYSTEM_INDEX_FILES_H_
