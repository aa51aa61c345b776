// The identifiers of the program's resources, shared by its resource
// script and the code that loads them.
#ifndef TROVANE_SHELL_WINDOWS_RESOURCES_H_
#define TROVANE_SHELL_WINDOWS_RESOURCES_H_

#define TROVANE_ICON 1

#endif  // TROVANE_SHELL_WINDOWS_RESOURCES_H_
