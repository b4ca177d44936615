// The program's windows as Windows runs them.

#include <gtest/gtest.h>

#include "ui/win32/win32_toolkit.h"
// After windows.h, which it builds on.
#include <commctrl.h>

#include <string>
#include <vector>

#include "common/failure.h"
#include "ui/layout.h"

namespace vsu::win32ui {
namespace {

// Start-up: hidden, Text1 broken only where its text is (8 lines). Upgrade: fixed frame, one activation, bar 0-10, button.
TEST(Win32Toolkit, TheStartUpWindowStaysHiddenAndTheUpgradeWindowRunsItsHandlers) {
  Win32Toolkit kit;
  auto start = kit.CreateMain();
  start->Hide();
  const HWND startUp = FindWindowA(nullptr, layout::kMainCaption);
  EXPECT_FALSE(IsWindowVisible(startUp));
  EXPECT_EQ(SendMessageA(FindWindowExA(startUp, nullptr, "Edit", nullptr), EM_GETLINECOUNT, 0, 0), 8);
  auto view = kit.CreateUpgrade();
  const HWND window = reinterpret_cast<HWND>(view->NativeHandle());
  EXPECT_EQ(GetWindowLongA(window, GWL_STYLE) & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME), WS_MINIMIZEBOX);
  struct Run : UpgradeHandlers {
    explicit Run(UpgradeView& v) : view(v) {}
    void Form_Activate() override {
      ++activations;
      view.SetProgress(10);
      view.SetExitCaption("Done");
      PostMessageA(reinterpret_cast<HWND>(view.NativeHandle()), WM_COMMAND, MAKEWPARAM(304, BN_CLICKED), 0);
    }
    void cmdExit_Click() override { throw EndProgram{kExitDone}; }
    UpgradeView& view;
    int activations = 0;
  } run(*view);
  EXPECT_THROW(view->ShowModal(run), EndProgram);
  EXPECT_EQ(run.activations, 1);
  const HWND progress = FindWindowExA(window, nullptr, PROGRESS_CLASSA, nullptr);
  EXPECT_EQ(SendMessageA(progress, PBM_GETRANGE, FALSE, 0), 10);
  EXPECT_EQ(SendMessageA(progress, PBM_GETPOS, 0, 0), 10);
  char caption[8] = {};
  GetWindowTextA(FindWindowExA(window, nullptr, "Button", nullptr), caption, sizeof caption);
  EXPECT_STREQ(caption, "Done");
}

// Enter is OK with the text typed, Esc is Cancel, neither closes it; the title bar's close runs no handler.
TEST(Win32Toolkit, EnterPathAnswersEnterAndEscUntilClosedByItsTitleBar) {
  Win32Toolkit kit;
  auto view = kit.CreateEnterPath();
  view->SetCaption("  Enter the Path to SNMPc");
  EXPECT_EQ(view->Caption(), "  Enter the Path to SNMPc");
  const HWND window = FindWindowA(nullptr, "  Enter the Path to SNMPc");
  const HWND edit = FindWindowExA(window, nullptr, "Edit", nullptr);
  SetWindowTextA(edit, "c:\\first");
  for (const WPARAM key : {VK_RETURN, VK_ESCAPE}) PostMessageA(edit, WM_KEYDOWN, key, 0);
  PostMessageA(window, WM_CLOSE, 0, 0);
  struct Script : EnterPathHandlers {
    explicit Script(EnterPathView& v) : view(v) {}
    void cmdOK_Click() override { entries.push_back(view.TxtName()); }
    void cmdCancel_Click() override { entries.push_back("cancel"); }
    EnterPathView& view;
    std::vector<std::string> entries;
  } script(*view);
  view->ShowModal(script);
  EXPECT_EQ(script.entries, (std::vector<std::string>{"c:\\first", "cancel"}));
}

}  // namespace
}  // namespace vsu::win32ui
