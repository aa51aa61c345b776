// Whether a name found on the disk can stand in a drive path as it is. The
// disk map is read back line by line as drive paths, so a name that holds
// a line break, a separator, a wildcard or another character no drive
// path can hold would either forge lines of its own or name something
// else; such a name is neither listed nor entered.
#ifndef TROVANE_PLATFORM_DRIVE_NAME_H_
#define TROVANE_PLATFORM_DRIVE_NAME_H_

#include <string_view>

namespace trovane {

// False for a name that holds a control character (line feed and carriage
// return included), "\", "/", ":", "*", "?", "\"", "<", ">" or "|", or that
// ends in a blank or a dot.
bool HasDriveForm(std::string_view name);

}  // namespace trovane

#endif  // TROVANE_PLATFORM_DRIVE_NAME_H_
