// The folder reader of the system the interpreter runs on.
#ifndef TROVANE_TROVANE_CMD_SYSTEM_FOLDER_READER_H_
#define TROVANE_TROVANE_CMD_SYSTEM_FOLDER_READER_H_

#include <memory>

#include "platform/environment.h"
#include "trovane-cmd/folder_reader.h"

namespace trovane {

// Reads this machine's folders, the starting folder's drive-form path
// taken as `environment` maps the drives (on Linux the VEK_DRIVE_
// variables, else the Wine prefix; a map that cannot be taken, which
// OpenLocalDisk reports, leaves Z: alone).
std::unique_ptr<FolderReader> MakeSystemFolderReader(
    const Environment& environment);

}  // namespace trovane

#endif  // TROVANE_TROVANE_CMD_SYSTEM_FOLDER_READER_H_
