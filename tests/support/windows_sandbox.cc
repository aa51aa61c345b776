#include "tests/support/windows_sandbox.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/windows/wide_text.h"

namespace trovane::testing {
namespace {

std::filesystem::path WidePath(const std::string& path) {
  return std::filesystem::path(WideText(path));
}

// Removes `folder` ("\\?\" form, so that paths past 260 characters that a
// test made go too) and everything in it, read-only and hidden files too.
void RemoveTree(const std::wstring& folder) {
  WIN32_FIND_DATAW entry;
  const HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &entry);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = entry.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring path = folder + L"\\" + name;
      SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
          (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
        RemoveTree(path);
      } else {
        DeleteFileW(path.c_str());
      }
    } while (FindNextFileW(find, &entry) != 0);
    FindClose(find);
  }
  RemoveDirectoryW(folder.c_str());
}

}  // namespace

WindowsSandbox::WindowsSandbox() {
  static std::atomic<unsigned> made{0};
  std::wstring temporary(MAX_PATH + 1, L'\0');
  temporary.resize(
      GetTempPathW(static_cast<DWORD>(temporary.size()), temporary.data()));
  for (unsigned attempt = 0; attempt < 100; ++attempt) {
    const std::wstring folder = temporary + L"trovane-test-" +
                                std::to_wstring(GetCurrentProcessId()) + L"-" +
                                std::to_wstring(++made);
    if (CreateDirectoryW(folder.c_str(), nullptr) != 0) {
      root_ = AnsiText(folder);
      return;
    }
  }
  ADD_FAILURE() << "cannot make a sandbox folder";
}

WindowsSandbox::~WindowsSandbox() {
  if (!root_.empty()) RemoveTree(L"\\\\?\\" + WideText(root_));
}

std::string WindowsSandbox::Path(std::string_view relative) const {
  return relative.empty() ? root_ : root_ + "\\" + std::string(relative);
}

void WindowsSandbox::Write(std::string_view relative,
                           std::string_view content) const {
  const std::filesystem::path path = WidePath(Path(relative));
  std::filesystem::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
}

std::string WindowsSandbox::Read(std::string_view relative) const {
  std::ifstream in(WidePath(Path(relative)), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in),
                     std::istreambuf_iterator<char>());
}

bool WindowsSandbox::Exists(std::string_view relative) const {
  std::error_code ignored;
  return std::filesystem::exists(WidePath(Path(relative)), ignored);
}

void WindowsSandbox::MakeFolder(std::string_view relative) const {
  std::filesystem::create_directories(WidePath(Path(relative)));
}

}  // namespace trovane::testing
