// Byte-text helpers shared by every part of the program. Text is bytes:
// casing touches the ASCII letters only, and "blanks" are spaces only, the
// way the databank and list formats have always trimmed them.
#ifndef TROVANE_PLATFORM_TEXT_H_
#define TROVANE_PLATFORM_TEXT_H_

#include <cstdint>
#include <string>
#include <string_view>

namespace trovane {

// Removes the spaces (not tabs or other white space) at both ends.
std::string_view TrimBlanks(std::string_view text);

inline char UpperAscii(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}
inline char LowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

inline bool IsAsciiLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

std::string UpperAscii(std::string_view text);

// The eight bytes of `word` with their ASCII letters upper-cased, whatever
// their order in it.
uint64_t UpperAsciiWord(uint64_t word);

// Upper-cases the ASCII letters of `text` where it stands, eight bytes at a
// time.
void UpperAsciiInPlace(std::string& text);

bool EqualsNoCase(std::string_view a, std::string_view b);

// True when `needle` occurs in `haystack`, comparing without regard to case.
// An empty needle occurs everywhere.
bool ContainsNoCase(std::string_view haystack, std::string_view needle);

// True when `text` ends with `tail`, comparing without regard to case.
bool EndsWithNoCase(std::string_view text, std::string_view tail);

// The order in which names are listed: byte by byte with the ASCII letters
// upper-cased, ties broken by the names' own bytes. Returns <0, 0 or >0.
int CompareNamesNoCase(std::string_view a, std::string_view b);

// The C0 controls (line breaks among them) and DEL.
inline bool IsControlCharacter(char c) {
  return static_cast<unsigned char>(c) < 0x20 || c == 0x7f;
}

// True when `text` holds a control character.
bool HoldsControlCharacter(std::string_view text);

// True for "X:" at the start of a path, X being a letter.
inline bool HasDriveLetter(std::string_view path) {
  return path.size() >= 2 && IsAsciiLetter(path[0]) && path[1] == ':';
}

// What an editor may put at the start of a text file saved as UTF-8.
inline constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// "True" or "False", the text form of a truth value in the logs.
inline const char* TruthText(bool value) { return value ? "True" : "False"; }

}  // namespace trovane

#endif  // TROVANE_PLATFORM_TEXT_H_
