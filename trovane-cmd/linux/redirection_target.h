// Opening the file named after ">" or ">>". The disk map and the completion
// signal live in the temporary folder, which may be shared with other
// users, so the target is never opened through a symbolic link in its last
// name: a link planted there is removed and the file made in its place,
// for a link left standing would keep every later scan from writing its
// map. Only an ordinary file (or a device such as /dev/null) is taken.
#ifndef TROVANE_TROVANE_CMD_LINUX_REDIRECTION_TARGET_H_
#define TROVANE_TROVANE_CMD_LINUX_REDIRECTION_TARGET_H_

#include <string>

#include "platform/linux/unique_fd.h"
#include "trovane-cmd/batch_line.h"

namespace trovane {

// Creates or empties (kReplace) or opens for appending, creating it when
// missing (kAppend), the file at `linux_path`, removing a symbolic link in
// its last name first. Invalid when it cannot be opened that way.
UniqueFd OpenRedirectionTarget(const std::string& linux_path,
                               Redirection redirection);

}  // namespace trovane

#endif  // TROVANE_TROVANE_CMD_LINUX_REDIRECTION_TARGET_H_
