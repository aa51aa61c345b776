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
  std::error_code ignored;
  // Read-only and hidden files are removed like any other.
  for (auto it = std::filesystem::recursive_directory_iterator(WidePath(root_),
                                                               ignored);
       it != std::filesystem::recursive_directory_iterator(); ++it) {
    SetFileAttributesW(it->path().c_str(), FILE_ATTRIBUTE_NORMAL);
  }
  std::filesystem::remove_all(WidePath(root_), ignored);
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
