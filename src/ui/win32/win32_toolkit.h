#pragma once
// The Win32 window toolkit: real windows placed from the layout's twips, message
// boxes through MessageBoxA, and the program's handlers run from its own message
// loops, never from inside a window procedure, so that a handler's exception
// (the end of the program, a failure) unwinds through C++ frames only.

#include <windows.h>

#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include "platform/views.h"

namespace vsu::win32ui {

class Win32Toolkit : public WindowToolkit {
 public:
  Win32Toolkit();
  ~Win32Toolkit() override;
  Win32Toolkit(const Win32Toolkit&) = delete;
  Win32Toolkit& operator=(const Win32Toolkit&) = delete;

  TwipSize ScreenSize() override;
  void MsgBox(const std::string& text, int style, const std::string& title) override;
  std::unique_ptr<MainView> CreateMain() override;
  std::unique_ptr<EnterPathView> CreateEnterPath() override;
  std::unique_ptr<UpgradeView> CreateUpgrade() override;
  // Handles every message that waits, then the handlers they asked for.
  void DoEvents() override;
  // To a redirected standard output, else to the console the program was
  // started from, else in one message box.
  void ShowReport(const std::string& title, const std::vector<std::string>& lines) override;

  // Queues a handler call on behalf of window; it runs from the next loop pass.
  void Post(HWND window, std::function<void()> action);
  // Drops the queued calls of a window that goes away.
  void Forget(HWND window);
  // Runs the message loop until done becomes true (or the thread is told to quit).
  void RunUntil(const bool& done);
  // Disables the program's other windows while window is shown modally; the
  // returned object enables them again.
  class ModalScope;

  int DpiX() const { return dpiX_; }
  int DpiY() const { return dpiY_; }
  HFONT Font() const { return font_; }
  HICON IconLarge() const { return iconLarge_; }
  HICON IconSmall() const { return iconSmall_; }
  // The window that a message box belongs to: the innermost modal window.
  HWND ModalOwner() const { return modal_.empty() ? nullptr : modal_.back(); }

 private:
  friend class ModalScope;
  // Dispatches one message; false for WM_QUIT.
  bool Handle(MSG& message);
  void RunPending();

  int dpiX_ = 96;
  int dpiY_ = 96;
  HFONT font_ = nullptr;
  HICON iconLarge_ = nullptr;
  HICON iconSmall_ = nullptr;
  std::deque<std::pair<HWND, std::function<void()>>> pending_;
  std::vector<HWND> modal_;
};

class Win32Toolkit::ModalScope {
 public:
  ModalScope(Win32Toolkit& kit, HWND window);
  ~ModalScope();
  ModalScope(const ModalScope&) = delete;
  ModalScope& operator=(const ModalScope&) = delete;

 private:
  Win32Toolkit& kit_;
  std::vector<HWND> disabled_;
};

}  // namespace vsu::win32ui
