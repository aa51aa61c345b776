#include "platform/windows/wide_text.h"

#include <windows.h>

namespace trovane {

std::wstring WideText(std::string_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  std::wstring wide(static_cast<size_t>(size), L'\0');
  // A single-byte code page maps each byte to one UTF-16 unit at most; a
  // double-byte one needs fewer, so the size only shrinks.
  const int made =
      MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), size);
  wide.resize(static_cast<size_t>(made > 0 ? made : 0));
  return wide;
}

std::string AnsiText(std::wstring_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int needed = WideCharToMultiByte(CP_ACP, 0, text.data(), size, nullptr,
                                         0, nullptr, nullptr);
  if (needed <= 0) return {};
  std::string ansi(static_cast<size_t>(needed), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.data(), size, ansi.data(), needed,
                      nullptr, nullptr);
  return ansi;
}

}  // namespace trovane
