#pragma once
// One top-level window of the program: created with a client area given in
// twips, controls placed in twips, and its messages routed to OnMessage once
// creation is over.

#include <windows.h>

#include <string>

#include "platform/views.h"
#include "ui/layout.h"

namespace vsu::win32ui {

class Win32Toolkit;

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
};

// A view interface drawn by a NativeWindow: place, size and caption.
template <typename Base>
class Win32View : public Base, protected NativeWindow {
 public:
  using NativeWindow::NativeWindow;
  TwipSize OuterSize() override { return OuterTwips(); }
  void Move(double left, double top) override { MoveTwips(left, top); }
  void SetCaption(const std::string& text) override { SetText(hwnd(), text); }
};

}  // namespace vsu::win32ui
