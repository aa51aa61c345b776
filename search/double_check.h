// The second stage of the search pass, the double-check: every entry of
// the Trovane databank, by line number,
// must still name an existing file or folder that carries its correct file
// name. The root content upkeep file "\FileList.txt" and the must-exist list
// "\MustExist.txt" gain the lines they lack; a failed entry is repaired by
// creating what its kind says (a databank, a plain file, a folder) or
// removed.
#ifndef TROVANE_SEARCH_DOUBLE_CHECK_H_
#define TROVANE_SEARCH_DOUBLE_CHECK_H_

#include <string>
#include <string_view>

#include "databank/data.h"
#include "shell/window.h"

namespace trovane {

// Walks the Trovane databank; true when an entry had to be removed: the
// problem flag the completion report reads.
bool DoubleCheck(Window& window);

// The shortest trailing part of `path`, whole names joined with "\", that no
// value of the databank `list` contains. Each part, the whole path
// included, is looked for; when the whole path is contained somewhere too,
// it is the whole path all the same.
std::string ShortestDistinguishingTail(Data& data, const std::string& list,
                                       std::string_view path);

}  // namespace trovane

#endif  // TROVANE_SEARCH_DOUBLE_CHECK_H_
