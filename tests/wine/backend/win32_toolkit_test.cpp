#include <gtest/gtest.h>

#include "ui/win32/win32_toolkit.h"
// After windows.h, which it builds on.
#include <commctrl.h>

#include <string>

#include "forms/centre.h"
#include "common/failure.h"
#include "ui/layout.h"

namespace vsu::win32ui {
namespace {

std::string TextOf(HWND window) {
  char text[512] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

HWND Child(std::uintptr_t window, const char* className, int index = 0) {
  HWND child = nullptr;
  for (int i = 0; i <= index; ++i) {
    child = FindWindowExA(reinterpret_cast<HWND>(window), child, className, nullptr);
  }
  return child;
}

class RecordingUpgradeHandlers : public UpgradeHandlers {
 public:
  explicit RecordingUpgradeHandlers(UpgradeView& view) : view_(view) {}
  void Form_Activate() override {
    ++activations;
    view_.SetExitEnabled(false);
    view_.SetCaption("Vela Scan Installation  3.14");
    view_.SetTxtInfo("The Vela Scan Service started successfully.");
    view_.SetProgress(10);
    view_.SetExitEnabled(true);
    view_.SetExitCaption("Done");
    // The user presses Done.
    PostMessageA(reinterpret_cast<HWND>(view_.NativeHandle()), WM_COMMAND, MAKEWPARAM(304, BN_CLICKED), 0);
  }
  void cmdExit_Click() override { throw EndProgram{kExitDone}; }
  int activations = 0;

 private:
  UpgradeView& view_;
};

TEST(Win32Toolkit, TheUpgradeWindowHasTheDesignedSizeAndControls) {
  Win32Toolkit kit;
  auto view = kit.CreateUpgrade();
  const auto outer = view->OuterSize();
  EXPECT_GT(outer.width, layout::kUpgradeClient.width);
  EXPECT_GT(outer.height, layout::kUpgradeClient.height);
  EXPECT_LT(outer.width, layout::kUpgradeClient.width + 600);
  EXPECT_LT(outer.height, layout::kUpgradeClient.height + 900);

  view->Move(4942, 4605);
  RECT rect{};
  GetWindowRect(reinterpret_cast<HWND>(view->NativeHandle()), &rect);
  EXPECT_EQ(rect.left, MulDiv(4942, kit.DpiX(), 1440));
  EXPECT_EQ(rect.top, MulDiv(4605, kit.DpiY(), 1440));

  const HWND window = reinterpret_cast<HWND>(view->NativeHandle());
  EXPECT_EQ(TextOf(window), "Vela Scan Installation");
  const LONG style = GetWindowLongA(window, GWL_STYLE);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_FALSE(style & WS_THICKFRAME);
  EXPECT_EQ(TextOf(Child(view->NativeHandle(), "Edit")), "Info");
  const HWND progress = Child(view->NativeHandle(), PROGRESS_CLASSA);
  ASSERT_NE(progress, nullptr);
  EXPECT_EQ(SendMessageA(progress, PBM_GETRANGE, FALSE, 0), 10);
  EXPECT_EQ(SendMessageA(progress, PBM_GETPOS, 0, 0), 0);
  EXPECT_EQ(TextOf(Child(view->NativeHandle(), "Button")), "Exit");
}

TEST(Win32Toolkit, ActivationRunsTheHandlerAndExitEndsTheModalLoop) {
  Win32Toolkit kit;
  auto view = kit.CreateUpgrade();
  RecordingUpgradeHandlers handlers(*view);
  try {
    view->ShowModal(handlers);
    FAIL() << "the modal loop returned";
  } catch (const EndProgram& end) {
    EXPECT_EQ(end.status, kExitDone);
  }
  EXPECT_EQ(handlers.activations, 1);
  EXPECT_TRUE(view->ExitEnabled());
  EXPECT_EQ(TextOf(Child(view->NativeHandle(), "Button")), "Done");
  EXPECT_EQ(SendMessageA(Child(view->NativeHandle(), PROGRESS_CLASSA), PBM_GETPOS, 0, 0), 10);
}

class EnterPathScript : public EnterPathHandlers {
 public:
  explicit EnterPathScript(EnterPathView& view) : view_(view) {}
  void cmdOK_Click() override {
    entries.push_back(view_.TxtName());
    if (entries.size() == 2) view_.Close();
  }
  void cmdCancel_Click() override { view_.Close(); }
  std::vector<std::string> entries;

 private:
  EnterPathView& view_;
};

TEST(Win32Toolkit, EnterPathRunsOkUntilAHandlerCloses) {
  Win32Toolkit kit;
  auto view = kit.CreateEnterPath();
  view->SetCaption("  Enter the Path to Windows");
  EXPECT_EQ(view->Caption(), "  Enter the Path to Windows");
  EXPECT_EQ(view->TxtName(), "");
  EnterPathScript script(*view);
  // The window handle is not part of the view; find it by its caption.
  HWND window = FindWindowA(nullptr, "  Enter the Path to Windows");
  ASSERT_NE(window, nullptr);
  HWND edit = FindWindowExA(window, nullptr, "Edit", nullptr);
  SetWindowTextA(edit, "c:\\first");
  PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  view->ShowModal(script);
  EXPECT_EQ(script.entries, (std::vector<std::string>{"c:\\first", "c:\\first"}));
}

TEST(Win32Toolkit, ClosingEnterPathByItsTitleBarRunsNoHandler) {
  Win32Toolkit kit;
  auto view = kit.CreateEnterPath();
  view->SetCaption("  Enter the Path to SNMPc");
  HWND window = FindWindowA(nullptr, "  Enter the Path to SNMPc");
  ASSERT_NE(window, nullptr);
  PostMessageA(window, WM_CLOSE, 0, 0);
  EnterPathScript script(*view);
  view->ShowModal(script);
  EXPECT_TRUE(script.entries.empty());
}

TEST(Win32Toolkit, TheStartUpWindowHoldsText1AndStaysHidden) {
  Win32Toolkit kit;
  auto view = kit.CreateMain();
  view->Hide();
  HWND window = FindWindowA(nullptr, layout::kMainCaption);
  ASSERT_NE(window, nullptr);
  EXPECT_FALSE(IsWindowVisible(window));
  const HWND text1 = FindWindowExA(window, nullptr, "Edit", nullptr);
  char text[512] = {};
  GetWindowTextA(text1, text, sizeof text);
  EXPECT_EQ(std::string(text), layout::kText1);
  EXPECT_EQ(std::string(text).size(), 191u);
  // Its seven lines and the empty one after the last line break, none wrapped.
  EXPECT_EQ(SendMessageA(text1, EM_GETLINECOUNT, 0, 0), 8);
  EXPECT_EQ(TextOf(FindWindowExA(window, nullptr, "Button", nullptr)), "Exit");
}

TEST(Win32Toolkit, TheScreenIsMeasuredInTwips) {
  Win32Toolkit kit;
  const auto screen = kit.ScreenSize();
  EXPECT_DOUBLE_EQ(screen.width, GetSystemMetrics(SM_CXSCREEN) * 1440.0 / kit.DpiX());
  EXPECT_DOUBLE_EQ(screen.height, GetSystemMetrics(SM_CYSCREEN) * 1440.0 / kit.DpiY());
}

}  // namespace
}  // namespace vsu::win32ui
