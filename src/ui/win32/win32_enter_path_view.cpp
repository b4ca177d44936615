#include "ui/layout.h"
#include "ui/win32/win32_toolkit.h"
#include "ui/win32/win32_views.h"
#include "ui/win32/win32_window.h"

namespace vsu::win32ui {
namespace {

constexpr int kFrameId = 201;
constexpr int kLabelId = 202;
constexpr int kTxtNameId = 203;
constexpr DWORD kFixedDialog = WS_POPUP | WS_CAPTION | WS_SYSMENU;

// frmEnterPath: a new window for every showing, so txtName starts empty. OK is
// the default button (Enter) and Cancel the cancel button (Esc).
class Win32EnterPathView : public Win32View<EnterPathView, EnterPathHandlers> {
 public:
  explicit Win32EnterPathView(Win32Toolkit& kit)
      : Win32View(kit, layout::kEnterPathCaption, layout::kEnterPathClient, kFixedDialog, WS_EX_DLGMODALFRAME) {
    const auto& frame = layout::kFraPathRect;
    AddControl("BUTTON", "", BS_GROUPBOX, 0, frame, kFrameId);
    AddControl("STATIC", "Path:", SS_LEFT, 0, layout::kLblPathRect, kLabelId, frame.left, frame.top);
    txtName_ = AddControl("EDIT", "", WS_TABSTOP | WS_GROUP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE,
                          layout::kTxtNameRect, kTxtNameId, frame.left, frame.top);
    AddControl("BUTTON", "&OK", WS_TABSTOP | BS_DEFPUSHBUTTON, 0, layout::kOkRect, IDOK);
    AddControl("BUTTON", "&Cancel", WS_TABSTOP | BS_PUSHBUTTON, 0, layout::kCancelRect, IDCANCEL);
  }

  std::string Caption() override { return Text(hwnd()); }
  std::string TxtName() override { return Text(txtName_); }
  void SetTxtName(const std::string& text) override { SetText(txtName_, text); }
  void ShowModal(EnterPathHandlers& handlers) override { RunShown(handlers, true); }
  void Close() override { closed_ = true; }

 protected:
  void AfterShown() override { SetFocus(txtName_); }

  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
      PostHandler(LOWORD(wParam) == IDOK ? &EnterPathHandlers::cmdOK_Click : &EnterPathHandlers::cmdCancel_Click);
      return 0;
    }
    if (message == DM_GETDEFID) return MAKELRESULT(IDOK, DC_HASDEFID);
    if (message == WM_CLOSE) {
      // Leaving by the title bar runs no handler.
      closed_ = true;
      return 0;
    }
    return NativeWindow::OnMessage(message, wParam, lParam);
  }

 private:
  HWND txtName_ = nullptr;
};

}  // namespace

std::unique_ptr<EnterPathView> MakeEnterPathView(Win32Toolkit& kit) {
  return std::make_unique<Win32EnterPathView>(kit);
}

}  // namespace vsu::win32ui
