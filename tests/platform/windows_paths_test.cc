// Drive-form paths made whole for the Windows system's calls, and the
// "\\?\" form they are handed over in.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/windows/system_path.h"
#include "platform/windows/wide_text.h"

namespace trovane {
namespace {

TEST(WindowsPathsTest, PathsAreMadeWholeFromTheCurrentFolder) {
  struct Case {
    const char* path;
    std::optional<std::string> whole;
  };
  const char* current = "D:\\Work\\Run";
  for (const Case& c : std::initializer_list<Case>{
           {"C:\\Vek\\Bin\\Vek.exe", "C:\\Vek\\Bin\\Vek.exe"},
           {"c:/Vek//Bin/./x", "c:\\Vek\\Bin\\x"},
           {"C:\\Vek\\..\\..\\..\\Windows", "C:\\Windows"},
           {"C:\\", "C:\\"},
           {"C:\\Vek\\..", "C:\\"},
           {"Map.txt", "D:\\Work\\Run\\Map.txt"},
           {"..\\..\\..\\x", "D:\\x"},
           {"\\Temp\\x", "D:\\Temp\\x"},
           {"D:Sub", "D:\\Work\\Run\\Sub"},
           {"E:Sub", "E:\\Sub"},
           {"D:", "D:\\Work\\Run"},
           {"\\\\server\\share\\a\\..\\..\\b", "\\\\server\\share\\b"},
           {"\\\\server", std::nullopt},
           {"\\\\?\\C:\\literal\\..", "\\\\?\\C:\\literal\\.."},
       }) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(FullDrivePath(c.path, current), c.whole);
  }
  // A NUL byte names nothing, wherever it is.
  EXPECT_EQ(FullDrivePath(std::string_view("C:\\a\0b", 6), current),
            std::nullopt);
  // Without a current folder that has a root, a relative path has none.
  EXPECT_EQ(FullDrivePath("Map.txt", ""), std::nullopt);
}

TEST(WindowsPathsTest, CallsGetTheLiteralLongForm) {
  EXPECT_EQ(SystemPath("C:\\Vek\\..\\x", "C:\\"), L"\\\\?\\C:\\x");
  EXPECT_EQ(SystemPath("\\\\server\\share\\x", "C:\\"),
            L"\\\\?\\UNC\\server\\share\\x");
  EXPECT_EQ(WithoutLongPrefix("\\\\?\\C:\\x"), "C:\\x");
  EXPECT_EQ(WithoutLongPrefix("\\\\?\\UNC\\server\\share\\x"),
            "\\\\server\\share\\x");
  EXPECT_EQ(WithoutLongPrefix("C:\\x"), "C:\\x");
}

TEST(WindowsPathsTest, LastNameIsCutFromItsFolder) {
  EXPECT_EQ(SplitLastName("C:\\Vek\\Bin").folder, "C:\\Vek");
  EXPECT_EQ(SplitLastName("C:\\Vek\\Bin").name, "Bin");
  EXPECT_EQ(SplitLastName("C:\\Vek").folder, "C:\\");
  EXPECT_EQ(SplitLastName("C:\\").name, "");
  EXPECT_EQ(SplitLastName("\\\\server\\share\\x").folder,
            "\\\\server\\share\\");
}

TEST(WindowsPathsTest, TextGoesWideInTheAnsiCodePageAndBack) {
  const std::string ansi = "Caf\xE9 \x80";  // é and € in code page 1252
  EXPECT_EQ(AnsiText(WideText(ansi)), ansi);
  EXPECT_EQ(AnsiText(L"\x4E2D"), "?");  // no Chinese in a Western code page
}

}  // namespace
}  // namespace trovane
