#pragma once
// One top-level window of the program: created with a client area given in
// twips, controls placed in twips, and its messages routed to OnMessage once
// creation is over.

#include <windows.h>

#include <optional>
#include <string>

#include "platform/views.h"
#include "ui/layout.h"
#include "ui/win32/win32_toolkit.h"

namespace vsu::win32ui {

// A fixed single border with a caption, a minimise button and no maximise button.
inline constexpr DWORD kFixedSingle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

class NativeWindow {
 public:
  NativeWindow(Win32Toolkit& kit, const char* caption, TwipSize client, DWORD style, DWORD exStyle);
  virtual ~NativeWindow();
  NativeWindow(const NativeWindow&) = delete;
  NativeWindow& operator=(const NativeWindow&) = delete;

  HWND hwnd() const { return hwnd_; }
  // Creates a child control at a place in twips, offset by a container's place.
  HWND AddControl(const char* className, const char* text, DWORD style, DWORD exStyle, layout::Rect place,
                  int id, int offsetLeft = 0, int offsetTop = 0);
  TwipSize OuterTwips() const;
  void MoveTwips(double left, double top);
  void SetText(HWND control, const std::string& text);
  std::string Text(HWND control) const;
  void ShowAndActivate();

  int PixelsX(double twips) const;
  int PixelsY(double twips) const;

 protected:
  // Messages after creation; the default is DefWindowProc.
  virtual LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  Win32Toolkit& kit_;

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  HWND hwnd_ = nullptr;
  HWND focus_ = nullptr;
};

// A view interface drawn by a NativeWindow: place, size and caption, and the
// showing that runs the program's message loop until the window is closed.
template <typename Base, typename Handlers>
class Win32View : public Base, protected NativeWindow {
 public:
  using NativeWindow::NativeWindow;
  TwipSize OuterSize() override { return OuterTwips(); }
  void Move(double left, double top) override { MoveTwips(left, top); }
  void SetCaption(const std::string& text) override { SetText(hwnd(), text); }

 protected:
  // Shows the window and runs the loop until closed_ is set, disabling the
  // program's other windows meanwhile when modal; then hides it.
  void RunShown(Handlers& handlers, bool modal, void (Handlers::*onShown)() = nullptr) {
    handlers_ = &handlers;
    closed_ = false;
    {
      std::optional<Win32Toolkit::ModalScope> scope;
      if (modal) scope.emplace(kit_, hwnd());
      ShowAndActivate();
      AfterShown();
      if (onShown) PostHandler(onShown);
      kit_.RunUntil(closed_);
    }
    ShowWindow(hwnd(), SW_HIDE);
    handlers_ = nullptr;
  }
  // Queues a handler call for the loop; nothing while the window is not shown.
  void PostHandler(void (Handlers::*handler)()) {
    if (!handlers_ || closed_) return;
    Handlers* target = handlers_;
    kit_.Post(hwnd(), [target, handler] { (target->*handler)(); });
  }
  // What a window does right after it appears (the focus of its first control).
  virtual void AfterShown() {}
  static bool Clicked(WPARAM wParam, int id) { return LOWORD(wParam) == id && HIWORD(wParam) == BN_CLICKED; }

  bool closed_ = false;

 private:
  Handlers* handlers_ = nullptr;
};

}  // namespace vsu::win32ui
