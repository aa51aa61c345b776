// "Dir PATH /s /b" on the real disk, read by the Windows reader: the order
// and shape of the lines, the hidden and system attributes, paths past 260
// characters, links and junctions listed but not entered, names the ANSI
// code page cannot write, and what tells folders apart.
#include <gmock/gmock.h>
#include <windows.h>
#include <winioctl.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/windows/wide_text.h"
#include "platform/windows/windows_file_system.h"
#include "tests/support/fakes.h"
#include "tests/support/text_files.h"
#include "tests/support/windows_sandbox.h"
#include "tests/trovane-cmd/interpreter_fixture.h"
#include "trovane-cmd/windows/windows_folder_reader.h"

namespace trovane::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

class WindowsListingTest : public InterpreterFixture {
 protected:
  WindowsListingTest() {
    Start(files_, std::make_unique<WindowsFolderReader>(sandbox_.root()),
          &here_);
  }

  // The long form of a path below the sandbox, "\" between names.
  std::wstring SystemPath(std::wstring_view relative) const {
    return L"\\\\?\\" + WideText(sandbox_.root()) + L"\\" +
           std::wstring(relative);
  }
  // Makes a folder or an empty file there, with the given attributes.
  void Make(std::wstring_view relative, bool folder, DWORD attributes = 0) {
    const std::wstring path = SystemPath(relative);
    if (folder) {
      ASSERT_NE(CreateDirectoryW(path.c_str(), nullptr), 0);
    } else {
      const HANDLE file =
          CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                      FILE_ATTRIBUTE_NORMAL, nullptr);
      ASSERT_NE(file, INVALID_HANDLE_VALUE);
      CloseHandle(file);
    }
    if (attributes != 0) {
      ASSERT_NE(SetFileAttributesW(path.c_str(), attributes), 0);
    }
  }
  void Folder(std::string_view relative, DWORD attributes = 0) {
    Make(WideText(relative), true, attributes);
  }
  void File(std::string_view relative, DWORD attributes = 0) {
    Make(WideText(relative), false, attributes);
  }

  // The lines "Dir SPEC /s /b" writes into a disk map beside the listed
  // folders.
  std::vector<std::string> List(std::string_view spec) {
    Run({"Dir " + std::string(spec) + " /s /b > " + sandbox_.Path("map.txt")});
    return CrLfLines(sandbox_.Read("map.txt"));
  }
  std::string Shown(std::string_view relative) const {
    return sandbox_.Path(relative);
  }

  WindowsSandbox sandbox_;
  FakeEnvironment here_{sandbox_.root()};
  WindowsFileSystem files_{sandbox_.root()};
};

TEST_F(WindowsListingTest, ListsInOrderAndLeavesHiddenAndSystemEntriesOut) {
  Folder("T");
  for (const char* name : {"b", "A", "_a", "[x]", "a b & c.txt"}) {
    File("T\\" + std::string(name));
  }
  Folder("T\\Zoo");
  File("T\\Zoo\\in");
  Folder("T\\Sub");
  File("T\\Sub\\x");
  File("T\\Sub\\hidden.txt", FILE_ATTRIBUTE_HIDDEN);
  File("T\\system.dat", FILE_ATTRIBUTE_SYSTEM);
  Folder("T\\Hidden", FILE_ATTRIBUTE_HIDDEN);
  File("T\\Hidden\\secret");
  Folder("T\\System", FILE_ATTRIBUTE_SYSTEM);
  File("T\\System\\secret");
  // Read-only and archived entries are ordinary ones.
  File("T\\Sub\\kept", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE);

  EXPECT_THAT(List(sandbox_.Path("T")),
              ElementsAre(Shown("T\\A"), Shown("T\\a b & c.txt"), Shown("T\\b"),
                          Shown("T\\Sub"), Shown("T\\Zoo"), Shown("T\\[x]"),
                          Shown("T\\_a"), Shown("T\\Sub\\kept"),
                          Shown("T\\Sub\\x"), Shown("T\\Zoo\\in")));
  // A pattern matches at every level; the folder shows as written.
  Run({"Cd " + sandbox_.root()});
  EXPECT_THAT(List("t\\*.TXT"),
              ElementsAre(sandbox_.root() + "\\t\\a b & c.txt"));
  EXPECT_EQ(Err(), "");
  // The starting folder is read whatever its attributes.
  EXPECT_THAT(List(sandbox_.Path("T\\Hidden")),
              ElementsAre(Shown("T\\Hidden\\secret")));
}

TEST_F(WindowsListingTest, ListsPathsPastTheOldLimit) {
  std::string folder = "T";
  Folder(folder);
  std::vector<std::string> expected;
  for (int i = 0; i < 6; ++i) {
    folder += "\\" + std::string(50, static_cast<char>('a' + i));
    Folder(folder);
    expected.push_back(Shown(folder));
  }
  File(folder + "\\deep.txt");
  expected.push_back(Shown(folder + "\\deep.txt"));
  ASSERT_GT(expected.back().size(), 300U);
  EXPECT_THAT(List(sandbox_.Path("T")), ElementsAreArray(expected));
  // A long path is a starting folder like any other.
  EXPECT_THAT(List(Shown(folder)), ElementsAre(Shown(folder + "\\deep.txt")));
}

// Makes `link` a junction to the absolute `target`; false where the file
// system cannot hold one.
bool MakeJunction(const std::wstring& link, const std::wstring& target) {
  if (CreateDirectoryW(link.c_str(), nullptr) == 0) return false;
  const HANDLE handle = CreateFileW(
      link.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
      FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  // The mount-point record: the name the system follows, then the one it
  // shows, each ending in a NUL.
  const std::wstring follow = L"\\??\\" + target;
  struct {
    DWORD tag;
    WORD data_size;
    WORD reserved;
    WORD follow_at, follow_size, shown_at, shown_size;
    wchar_t names[1024];
  } record{};
  record.tag = IO_REPARSE_TAG_MOUNT_POINT;
  record.follow_size = static_cast<WORD>(follow.size() * sizeof(wchar_t));
  record.shown_at = static_cast<WORD>(record.follow_size + sizeof(wchar_t));
  record.shown_size = static_cast<WORD>(target.size() * sizeof(wchar_t));
  std::memcpy(record.names, follow.data(), record.follow_size);
  std::memcpy(reinterpret_cast<char*>(record.names) + record.shown_at,
              target.data(), record.shown_size);
  record.data_size =
      static_cast<WORD>(8 + record.shown_at + record.shown_size + 2);
  DWORD returned = 0;
  const bool made = DeviceIoControl(handle, FSCTL_SET_REPARSE_POINT, &record,
                                    8 + record.data_size, nullptr, 0, &returned,
                                    nullptr) != 0;
  CloseHandle(handle);
  if (!made) RemoveDirectoryW(link.c_str());
  return made;
}

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Wine makes neither a link nor a junction (its link call answers yes and
// makes nothing); its own form of a link is a Linux one, which Linux's ln,
// started through Wine, makes at the Linux path Wine gives `link`.
void MakeLinuxLink(const std::string& target, const std::string& link) {
  using UnixName = char* (*)(const wchar_t*);
  const auto unix_name =
      reinterpret_cast<UnixName>(reinterpret_cast<void*>(GetProcAddress(
          GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
  if (unix_name == nullptr) return;
  char* const linux_link = unix_name(WideText(link).c_str());
  if (linux_link == nullptr) return;
  std::wstring command =
      L"ln -s \"" + WideText(target) + L"\" \"" + WideText(linux_link) + L"\"";
  HeapFree(GetProcessHeap(), 0, linux_link);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  if (CreateProcessW(L"Z:\\bin\\ln", command.data(), nullptr, nullptr, FALSE, 0,
                     nullptr, nullptr, &startup, &started) == 0) {
    return;
  }
  CloseHandle(started.hThread);
  CloseHandle(started.hProcess);
  // Wine does not wait for a Linux program, whose handle is signalled at
  // once: the link is there when the file system shows it.
  const std::wstring system_link = L"\\\\?\\" + WideText(link);
  for (int tries = 0; tries < 1000; ++tries) {
    if (GetFileAttributesW(system_link.c_str()) != INVALID_FILE_ATTRIBUTES) {
      return;
    }
    Sleep(10);
  }
}

TEST_F(WindowsListingTest, LinksAndJunctionsAreListedButNotEntered) {
  Folder("Elsewhere");
  File("Elsewhere\\secret");
  Folder("T");
  File("T\\file");
  const std::wstring elsewhere = WideText(sandbox_.Path("Elsewhere"));
  CreateSymbolicLinkW(SystemPath(L"T\\link").c_str(), elsewhere.c_str(),
                      SYMBOLIC_LINK_FLAG_DIRECTORY |
                          SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE);
  MakeJunction(SystemPath(L"T\\junction"), elsewhere);
  if (!Exists(SystemPath(L"T\\link"))) {
    MakeLinuxLink("../Elsewhere", sandbox_.Path("T\\link"));
  }
  ASSERT_TRUE(Exists(SystemPath(L"T\\link")));
  std::vector<std::string> expected;
  if (Exists(SystemPath(L"T\\junction"))) {
    expected.push_back(Shown("T\\junction"));
  }
  expected.push_back(Shown("T\\file"));
  expected.push_back(Shown("T\\link"));
  EXPECT_THAT(List(sandbox_.Path("T")), ElementsAreArray(expected));
}

TEST_F(WindowsListingTest, NamesTheCodePageCannotWriteArePassedOver) {
  if (GetACP() == CP_UTF8) GTEST_SKIP() << "every name has a UTF-8 form";
  Folder("T");
  File("T\\plain");
  // The first has a near form ("a.txt"), which would name another file.
  Make(L"T\\\u0101.txt", false);
  Make(L"T\\\u4e2d", true);
  Make(L"T\\\u4e2d\\inside", false);
  // A name the code page holds, outside ASCII, is listed as its bytes.
  Make(L"T\\caf\u00e9", false);
  EXPECT_THAT(List(sandbox_.Path("T")),
              ElementsAre(Shown("T\\caf\xe9"), Shown("T\\plain")));
  EXPECT_EQ(Err(), "Passed over 2 names that no drive path can hold\n");
}

TEST_F(WindowsListingTest, StampsTellFoldersApart) {
  Folder("A");
  Folder("B");
  WindowsFolderReader reader(sandbox_.root());
  const FolderReader::FolderPtr a = reader.OpenStart(sandbox_.Path("A"));
  const FolderReader::FolderPtr again =
      reader.OpenStart(sandbox_.Path("b\\..\\a"));
  const FolderReader::FolderPtr b = reader.OpenStart(sandbox_.Path("B"));
  ASSERT_TRUE(a && again && b);
  EXPECT_EQ(reader.OpenStart(sandbox_.Path("missing")), nullptr);
  File("not a folder");
  EXPECT_EQ(reader.OpenStart(sandbox_.Path("not a folder")), nullptr);
  const FolderStamp stamp = reader.Stamp(*a);
  EXPECT_NE(stamp.id, 0U);
  EXPECT_EQ(reader.Stamp(*again).id, stamp.id);
  EXPECT_EQ(reader.Stamp(*again).volume, stamp.volume);
  EXPECT_NE(reader.Stamp(*b).id, stamp.id);
  EXPECT_GT(stamp.modified_ns, 0);
}

}  // namespace
}  // namespace trovane::testing
