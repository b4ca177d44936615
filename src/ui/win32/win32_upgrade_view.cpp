#include "ui/win32/win32_toolkit.h"
// After windows.h, which it builds on.
#include <commctrl.h>

#include "ui/layout.h"
#include "ui/win32/win32_views.h"
#include "ui/win32/win32_window.h"

namespace vsu::win32ui {
namespace {

constexpr int kLogoId = 301;
constexpr int kTxtInfoId = 302;
constexpr int kProgressId = 303;
constexpr int kExitId = 304;

// frmVelaScanUpg: logo, status line, progress bar 0..10 and the Exit/Done button.
class Win32UpgradeView : public Win32View<UpgradeView, UpgradeHandlers> {
 public:
  explicit Win32UpgradeView(Win32Toolkit& kit)
      : Win32View(kit, layout::kUpgradeCaption, layout::kUpgradeClient, kFixedSingle, 0) {
    HWND logo = AddControl("STATIC", "", SS_ICON | SS_CENTERIMAGE, 0, layout::kLogoRect, kLogoId);
    SendMessageA(logo, STM_SETICON, reinterpret_cast<WPARAM>(kit.IconLarge()), 0);
    txtInfo_ = AddControl("EDIT", layout::kTxtInfo, WS_TABSTOP | ES_READONLY | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE,
                          layout::kTxtInfoRect, kTxtInfoId);
    progress_ = AddControl(PROGRESS_CLASSA, "", 0, 0, layout::kProgressRect, kProgressId);
    SendMessageA(progress_, PBM_SETRANGE32, 0, layout::kProgressMax);
    SendMessageA(progress_, PBM_SETPOS, 0, 0);
    exit_ = AddControl("BUTTON", layout::kExitCaption, WS_TABSTOP | BS_PUSHBUTTON, 0, layout::kUpgradeExitRect,
                       kExitId);
  }

  void Refresh() override { RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW); }
  void SetTxtInfo(const std::string& text) override { SetText(txtInfo_, text); }
  void SetProgress(int value) override { SendMessageA(progress_, PBM_SETPOS, static_cast<WPARAM>(value), 0); }
  void SetExitEnabled(bool enabled) override { EnableWindow(exit_, enabled); }
  bool ExitEnabled() override { return IsWindowEnabled(exit_); }
  void SetExitCaption(const std::string& text) override { SetText(exit_, text); }
  std::uintptr_t NativeHandle() override { return reinterpret_cast<std::uintptr_t>(hwnd()); }
  // The window is active once shown: its activation handler runs the upgrade.
  void ShowModal(UpgradeHandlers& handlers) override { RunShown(handlers, true, &UpgradeHandlers::Form_Activate); }

 protected:
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_COMMAND && Clicked(wParam, kExitId) && IsWindowEnabled(exit_)) {
      PostHandler(&UpgradeHandlers::cmdExit_Click);
      return 0;
    }
    if (message == WM_CLOSE) {
      // While the run goes on (Exit disabled) the window cannot be closed.
      if (IsWindowEnabled(exit_)) closed_ = true;
      return 0;
    }
    return NativeWindow::OnMessage(message, wParam, lParam);
  }

 private:
  HWND txtInfo_ = nullptr;
  HWND progress_ = nullptr;
  HWND exit_ = nullptr;
};

}  // namespace

std::unique_ptr<UpgradeView> MakeUpgradeView(Win32Toolkit& kit) { return std::make_unique<Win32UpgradeView>(kit); }

}  // namespace vsu::win32ui
