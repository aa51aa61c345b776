// The system's own window: where its controls sit, what they show of the
// window's state, the window's timers in the message loop, the message box,
// and the ways the window is closed.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>
#undef MessageBox
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "platform/windows/wide_text.h"
#include "shell/window_layout.h"
#include "shell/windows/resources.h"
#include "shell/windows/win32_window_view.h"
#include "tests/shell/win32_window_harness.h"
#include "tests/support/memory_file_system.h"
#include "tests/support/text_files.h"
#include "tests/support/windows_child.h"
#include "tests/support/windows_sandbox.h"

namespace trovane {
namespace {

using ::testing::ElementsAre;
using testing::Win32WindowHarness;

std::string TextOf(HWND window) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1,
                    L'\0');
  text.resize(static_cast<size_t>(
      GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return AnsiText(text);
}

std::string ClassOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return AnsiText(name);
}

class Win32FrontEndTest : public ::testing::Test {
 protected:
  HWND Control(std::string_view name) const {
    for (size_t i = 0; i < kControls.size(); ++i) {
      if (kControls[i].name == name) {
        return GetDlgItem(shown_, static_cast<int>(i) + 1);
      }
    }
    return nullptr;
  }
  // Lets the refresh, which runs every 50 ms, catch up.
  void Settle() {
    harness_.ProcessEventsUntil([] { return false; },
                                std::chrono::milliseconds(120));
  }

  testing::MemoryFileSystem files_;
  Win32WindowHarness harness_{files_, "C:"};
  HWND shown_ = harness_.Show();
};

TEST_F(Win32FrontEndTest, ControlsSitWhereTheTwipTableSaysForTheMonitor) {
  ASSERT_NE(shown_, nullptr);
  const UINT dpi = GetDpiForWindow(shown_);
  const auto scaled = [dpi](int twips) {
    return MulDiv(twips, static_cast<int>(dpi), 1440);
  };
  EXPECT_EQ(TextOf(shown_), "Trovane Setup");
  RECT client;
  GetClientRect(shown_, &client);
  EXPECT_EQ(client.right, scaled(kClientWidthTwips));
  EXPECT_EQ(client.bottom, scaled(kClientHeightTwips));
  EXPECT_NE(GetClassLongPtrW(shown_, GCLP_HICON), 0);

  struct Expected {
    std::string_view name;
    std::string control_class;
    bool visible;
  };
  for (const Expected& expected :
       std::initializer_list<Expected>{{"P2", "msctls_progress32", true},
                                       {"FileList", "ListBox", false},
                                       {"Start", "Button", false},
                                       {"P1", "msctls_progress32", true},
                                       {"Filename", "Static", true},
                                       {"DoingWhat", "Static", true}}) {
    SCOPED_TRACE(expected.name);
    const HWND control = Control(expected.name);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(ClassOf(control), expected.control_class);
    EXPECT_EQ(IsWindowVisible(control) != FALSE, expected.visible);
    const ControlPlacement& placement = *std::find_if(
        kControls.begin(), kControls.end(),
        [&](const ControlPlacement& p) { return p.name == expected.name; });
    RECT place;
    GetWindowRect(control, &place);
    MapWindowPoints(nullptr, shown_, reinterpret_cast<POINT*>(&place), 2);
    EXPECT_EQ(place.left, scaled(placement.left));
    EXPECT_EQ(place.top, scaled(placement.top));
    EXPECT_EQ(place.right - place.left, scaled(placement.width));
    EXPECT_EQ(place.bottom - place.top, scaled(placement.height));
  }
  EXPECT_EQ(TextOf(Control("Start")), "Start");
  EXPECT_NE(GetWindowLongPtrW(Control("P1"), GWL_STYLE) & PBS_SMOOTH, 0);
  // Later above earlier: P1 covers the top pixel row of P2.
  bool p2_below_p1 = false;
  for (HWND below = GetWindow(Control("P1"), GW_HWNDNEXT); below != nullptr;
       below = GetWindow(below, GW_HWNDNEXT)) {
    p2_below_p1 = p2_below_p1 || below == Control("P2");
  }
  EXPECT_TRUE(p2_below_p1);
}

TEST_F(Win32FrontEndTest, LabelsAndBarsShowTheWindowsStateScaledToTheBar) {
  Window& window = harness_.window();
  window.DoingWhat().SetCaption("Currently scanning:");
  window.Filename().SetCaption("C:\\PROGRAM FILES\\VEK & CO\\DATA...");
  window.P1().SetValue(40.0F);
  // Far beyond the control's own range.
  window.P2().SetMax(1e12F);
  window.P2().SetValue(5e11F);
  harness_.front_end().ProcessPendingEvents();
  EXPECT_EQ(TextOf(Control("DoingWhat")), "Currently scanning:");
  EXPECT_EQ(TextOf(Control("Filename")),
            "C:\\PROGRAM FILES\\VEK & CO\\DATA...");
  EXPECT_EQ(SendMessageW(Control("P1"), PBM_GETRANGE, FALSE, 0),
            Win32WindowView::kBarSteps);
  EXPECT_EQ(SendMessageW(Control("P1"), PBM_GETPOS, 0, 0), 4000);
  EXPECT_EQ(SendMessageW(Control("P2"), PBM_GETPOS, 0, 0), 5000);
}

TEST_F(Win32FrontEndTest, FileListAndStartFollowTheWindow) {
  Window& window = harness_.window();
  for (const char* item : {"Main=vek.exe", "Data=levels.dat", "Tools=x.dll"}) {
    window.FileList().AddItem(item);
  }
  window.FileList().RemoveItem(1);
  window.Start().SetEnabled(false);
  Settle();
  const HWND list = Control("FileList");
  ASSERT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 2);
  wchar_t item[64] = {};
  SendMessageW(list, LB_GETTEXT, 1, reinterpret_cast<LPARAM>(item));
  EXPECT_EQ(AnsiText(item), "Tools=x.dll");
  EXPECT_FALSE(IsWindowEnabled(Control("Start")));
}

TEST_F(Win32FrontEndTest,
       FileNameLabelTellsTheScansProgressWhileTheBatchLists) {
  Window& window = harness_.window();
  window.FileList().AddItem("Main=vek.exe");
  window.StartScanBatch("C:\\Run\\Map.Bat");
  window.Wait().SetEnabled(true);
  harness_.launcher().listed_paths = 1'234'567;
  Settle();
  EXPECT_EQ(TextOf(Control("Filename")), "1,234,567 paths listed in 0:00");
  window.Filename().SetCaption("C:\\VEK");
  Settle();
  EXPECT_EQ(TextOf(Control("Filename")), "C:\\VEK");
}

// Every program that shows the window carries the program's resources;
// this test program is one.
TEST(Win32ResourcesTest, IconVersionRecordAndManifestAreThere) {
  const HMODULE self = GetModuleHandleW(nullptr);
  EXPECT_NE(FindResourceW(self, MAKEINTRESOURCEW(1), RT_MANIFEST), nullptr);
  for (const int size : {16, 32}) {
    SCOPED_TRACE(size);
    const HICON icon = static_cast<HICON>(LoadImageW(
        self, MAKEINTRESOURCEW(TROVANE_ICON), IMAGE_ICON, size, size, 0));
    ASSERT_NE(icon, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP colours{};
    GetObjectW(info.hbmColor, sizeof colours, &colours);
    EXPECT_EQ(colours.bmWidth, size);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(icon);
  }
  wchar_t own[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, own, MAX_PATH);
  std::vector<char> record(GetFileVersionInfoSizeW(own, nullptr));
  ASSERT_FALSE(record.empty());
  ASSERT_TRUE(GetFileVersionInfoW(own, 0, static_cast<DWORD>(record.size()),
                                  record.data()));
  const auto text = [&](const wchar_t* name) {
    wchar_t* value = nullptr;
    UINT size = 0;
    const std::wstring key =
        std::wstring(L"\\StringFileInfo\\040904E4\\") + name;
    return VerQueryValueW(record.data(), key.c_str(),
                          reinterpret_cast<void**>(&value), &size) != 0
               ? AnsiText(value)
               : std::string();
  };
  EXPECT_EQ(text(L"ProductName"), "Trovane Setup");
  EXPECT_EQ(text(L"FileDescription"), "File locator for VEK");
  EXPECT_EQ(text(L"ProductVersion"), "3.02.0004");
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT size = 0;
  ASSERT_TRUE(VerQueryValueW(record.data(), L"\\",
                             reinterpret_cast<void**>(&fixed), &size));
  EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(2, 3));
  EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(0, 4));
}

// RightAfterLoad, enabled at load, runs the analysis pass; that enables
// Wait, whose tick finds FileList empty and clicks Start.
TEST_F(Win32FrontEndTest, TimersTickThroughTheLoopOnceEnabled) {
  int analyses = 0;
  int searches = 0;
  harness_.passes().analysis = [&](Window& window) {
    ++analyses;
    window.Wait().SetEnabled(true);
    window.RightAfterLoad().SetEnabled(false);
  };
  harness_.passes().search = [&](Window& /*window*/) { ++searches; };
  EXPECT_TRUE(harness_.ProcessEventsUntil([&] { return searches == 1; }));
  EXPECT_EQ(analyses, 1);
}

TEST_F(Win32FrontEndTest, TickThatYieldsIsNotEnteredAgain) {
  int calls = 0;
  int depth = 0;
  int deepest = 0;
  harness_.passes().analysis = [&](Window& window) {
    ++calls;
    deepest = std::max(deepest, ++depth);
    if (calls == 1) {
      // Yields as a pass does, for many of the timer's intervals.
      for (int i = 0; i < 20; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        window.DoEvents();
      }
    } else {
      window.RightAfterLoad().SetEnabled(false);
    }
    --depth;
  };
  EXPECT_TRUE(harness_.ProcessEventsUntil([&] { return calls == 2; }));
  EXPECT_EQ(deepest, 1);
}

// Wait looks only every ten seconds here, but the ready waker ticks it at
// once; FileList is empty, so the tick clicks Start.
TEST_F(Win32FrontEndTest, AReadyWakerTicksItsTimerAtOnce) {
  int searches = 0;
  harness_.passes().search = [&](Window& /*window*/) { ++searches; };
  harness_.window().RightAfterLoad().SetEnabled(false);
  const HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  harness_.window().Wait().SetWakers(
      {Waitable(reinterpret_cast<intptr_t>(ready))}, std::chrono::seconds(10));
  harness_.window().Wait().SetEnabled(true);
  Settle();
  EXPECT_EQ(searches, 0);
  SetEvent(ready);
  EXPECT_TRUE(harness_.ProcessEventsUntil([&] { return searches == 1; },
                                          std::chrono::seconds(2)));
  CloseHandle(ready);
}

// What the box showed, seen from inside its own loop, which then closes it.
struct SeenBox {
  bool seen = false;
  HWND owner = nullptr;
  std::string title;
  std::string text;
  bool ok = false;
  bool cancel = false;
};
SeenBox seen_box;

void CALLBACK LookAtTheBox(HWND /*unused*/, UINT /*message*/, UINT_PTR timer,
                           DWORD /*time*/) {
  const HWND box = Win32WindowHarness::ThreadWindow(L"#32770");
  if (box == nullptr) return;
  KillTimer(nullptr, timer);
  seen_box.seen = true;
  seen_box.owner = GetWindow(box, GW_OWNER);
  seen_box.title = TextOf(box);
  seen_box.text = TextOf(GetDlgItem(box, 0xFFFF));  // the box's message
  seen_box.ok = GetDlgItem(box, IDOK) != nullptr;
  seen_box.cancel = GetDlgItem(box, IDCANCEL) != nullptr;
  PostMessageW(box, WM_COMMAND, IDOK, 0);
}

TEST_F(Win32FrontEndTest, MessageBoxIsAModalBoxOverTheWindowWithOneOkButton) {
  seen_box = SeenBox();
  SetTimer(nullptr, 0, 100, LookAtTheBox);
  harness_.front_end().MessageBox("Problems", "Some <b>entries</b> & more.",
                                  {"Config: a folder", "Manual: not found"});
  EXPECT_TRUE(seen_box.seen);
  EXPECT_EQ(seen_box.owner, shown_);
  EXPECT_EQ(seen_box.title, "Problems");
  // The system's box has no details of its own: they follow the text.
  EXPECT_EQ(seen_box.text,
            "Some <b>entries</b> & more.\n\nConfig: a folder\nManual: not "
            "found\n");
  EXPECT_TRUE(seen_box.ok);
  EXPECT_FALSE(seen_box.cancel);
}

// The window ended by the user or the system, in a process of its own
// (the window driver), which the unload ends as the program's end does.
class Win32FrontEndEndTest : public ::testing::TestWithParam<const char*> {
 protected:
  testing::WindowsSandbox sandbox_;
};

TEST_P(Win32FrontEndEndTest, UnloadsTheWindowWithTheInterruptedStatus) {
  const std::string mode = GetParam();
  EXPECT_EQ(
      testing::RunWindowsChild(
          {.arguments = {testing::BesideThisProgram("win32_window_driver.exe"),
                         mode, sandbox_.root()},
           .own_console = true},
          std::chrono::seconds(10)),
      2);
  const std::vector<std::string> log =
      testing::LogMessages(sandbox_.Read("Run\\Trovane.Log"));
  if (mode == "close-in-pass") {
    EXPECT_THAT(
        log, ElementsAre("Cleanup", "Analysing", "About to exit", "Cleanup"));
  } else {
    EXPECT_THAT(log, ElementsAre("Cleanup", "About to exit", "Cleanup"));
  }
}

INSTANTIATE_TEST_SUITE_P(ClosedOrAskedToQuit, Win32FrontEndEndTest,
                         ::testing::Values("close", "close-in-pass", "quit"));

}  // namespace
}  // namespace trovane
