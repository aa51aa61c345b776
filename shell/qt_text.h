// The window's texts are bytes; Qt draws UTF-16. Names on Linux are UTF-8
// almost always, so that is how the bytes are read: a byte that is not
// valid UTF-8 shows as the replacement character instead of vanishing.
#ifndef TROVANE_SHELL_QT_TEXT_H_
#define TROVANE_SHELL_QT_TEXT_H_

#include <QString>
#include <string_view>

namespace trovane {

inline QString ToQString(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace trovane

#endif  // TROVANE_SHELL_QT_TEXT_H_
