// Text as the system's wide calls take it. The program's paths and names
// are 8-bit text in the system's ANSI code page, as they always were; they
// are turned into UTF-16 only at the call and back as the call answers.
#ifndef TROVANE_PLATFORM_WINDOWS_WIDE_TEXT_H_
#define TROVANE_PLATFORM_WINDOWS_WIDE_TEXT_H_

#include <string>
#include <string_view>

namespace trovane {

// `text` read in the ANSI code page; every byte becomes a character.
std::wstring WideText(std::string_view text);

// `text` written in the ANSI code page; a character the code page lacks
// becomes "?".
std::string AnsiText(std::wstring_view text);

}  // namespace trovane

#endif  // TROVANE_PLATFORM_WINDOWS_WIDE_TEXT_H_
