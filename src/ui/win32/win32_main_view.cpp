#include "ui/layout.h"
#include "ui/win32/win32_toolkit.h"
#include "ui/win32/win32_views.h"
#include "ui/win32/win32_window.h"

namespace vsu::win32ui {
namespace {

constexpr int kText1Id = 101;
constexpr int kExitId = 102;

// frmMain: created hidden; shown only when the upgrade window was left another way.
class Win32MainView : public Win32View<MainView, MainHandlers> {
 public:
  explicit Win32MainView(Win32Toolkit& kit)
      : Win32View(kit, layout::kMainCaption, layout::kMainClient, kFixedSingle, 0) {
    // Scrolling sideways instead of wrapping: the lines break where the text
    // does, and the scroll bar reaches the end of a line wider than the box.
    // Without margins its first line fits whole in the design font.
    text1_ = AddControl("EDIT", layout::kText1,
                        WS_TABSTOP | WS_HSCROLL | ES_MULTILINE | ES_AUTOHSCROLL | ES_AUTOVSCROLL | ES_WANTRETURN,
                        WS_EX_CLIENTEDGE,
                        layout::kText1Rect, kText1Id);
    SendMessageA(text1_, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
    AddControl("BUTTON", layout::kExitCaption, WS_TABSTOP | BS_PUSHBUTTON, 0, layout::kMainExitRect, kExitId);
  }

  void Hide() override { ShowWindow(hwnd(), SW_HIDE); }
  void ShowUntilClosed(MainHandlers& handlers) override { RunShown(handlers, false); }

 protected:
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_COMMAND && Clicked(wParam, kExitId)) {
      PostHandler(&MainHandlers::cmdExit_Click);
      return 0;
    }
    if (message == WM_CTLCOLOREDIT && reinterpret_cast<HWND>(lParam) == text1_) {
      // Text1 keeps the button-face background of the design.
      SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_BTNFACE));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    if (message == WM_CLOSE) {
      closed_ = true;
      return 0;
    }
    return NativeWindow::OnMessage(message, wParam, lParam);
  }

 private:
  HWND text1_ = nullptr;
};

}  // namespace

std::unique_ptr<MainView> MakeMainView(Win32Toolkit& kit) { return std::make_unique<Win32MainView>(kit); }

}  // namespace vsu::win32ui
