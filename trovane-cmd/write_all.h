// Writing a run of bytes to a descriptor in full, through short writes and
// interruptions.
#ifndef TROVANE_TROVANE_CMD_WRITE_ALL_H_
#define TROVANE_TROVANE_CMD_WRITE_ALL_H_

#include <string_view>

namespace trovane {

// True when every byte was written.
bool WriteAll(int fd, std::string_view bytes);

}  // namespace trovane

#endif  // TROVANE_TROVANE_CMD_WRITE_ALL_H_
