#include "ui/win32/win32_toolkit.h"

// After windows.h, which it builds on.
#include <commctrl.h>

#include <algorithm>

#include "platform/win32/unique_handle.h"
#include "ui/layout.h"
#include "ui/win32/win32_views.h"

namespace vsu::win32ui {
namespace {

constexpr int kIconResource = 1;

HICON LoadAppIcon(int size) {
  return static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kIconResource), IMAGE_ICON,
                                       size, size, LR_DEFAULTCOLOR));
}

BOOL CALLBACK CollectEnabled(HWND window, LPARAM list) {
  if (IsWindowVisible(window) && IsWindowEnabled(window)) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
  }
  return TRUE;
}

}  // namespace

Win32Toolkit::Win32Toolkit() {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  HDC screen = GetDC(nullptr);
  dpiX_ = GetDeviceCaps(screen, LOGPIXELSX);
  dpiY_ = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  if (dpiX_ <= 0) dpiX_ = 96;
  if (dpiY_ <= 0) dpiY_ = 96;
  // The forms' design font: MS Sans Serif, 8 points.
  font_ = CreateFontA(-MulDiv(8, dpiY_, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                      OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS,
                      "MS Sans Serif");
  iconLarge_ = LoadAppIcon(32);
  iconSmall_ = LoadAppIcon(16);
}

Win32Toolkit::~Win32Toolkit() {
  if (font_) DeleteObject(font_);
  if (iconLarge_) DestroyIcon(iconLarge_);
  if (iconSmall_) DestroyIcon(iconSmall_);
}

TwipSize Win32Toolkit::ScreenSize() {
  return {GetSystemMetrics(SM_CXSCREEN) * 1440.0 / dpiX_, GetSystemMetrics(SM_CYSCREEN) * 1440.0 / dpiY_};
}

void Win32Toolkit::MsgBox(const std::string& text, int style, const std::string& title) {
  HWND owner = ModalOwner();
  const UINT flags = static_cast<UINT>(style) | MB_OK | MB_SETFOREGROUND | (owner ? 0 : MB_TASKMODAL);
  MessageBoxA(owner, text.c_str(), title.c_str(), flags);
  RunPending();
}

void Win32Toolkit::ShowReport(const std::string& title, const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& line : lines) text += line + "\r\n";
  const auto writeAll = [&](HANDLE out) {
    DWORD written = 0;
    return WriteFile(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) && written == text.size();
  };
  HANDLE stdOut = GetStdHandle(STD_OUTPUT_HANDLE);
  if (stdOut && stdOut != INVALID_HANDLE_VALUE && GetFileType(stdOut) != FILE_TYPE_UNKNOWN && writeAll(stdOut)) {
    return;
  }
  // A program with windows has no console of its own; the one of the command
  // prompt that started it shows the lines after its prompt.
  if (AttachConsole(ATTACH_PARENT_PROCESS)) {
    bool shown = false;
    {
      const win32::UniqueHandle console(
          CreateFileA("CONOUT$", GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
      shown = console && writeAll(console.get());
    }
    FreeConsole();
    if (shown) return;
  }
  MessageBoxA(nullptr, text.c_str(), title.c_str(), MB_OK | MB_ICONINFORMATION | MB_SETFOREGROUND | MB_TASKMODAL);
}

std::unique_ptr<MainView> Win32Toolkit::CreateMain() { return MakeMainView(*this); }

std::unique_ptr<EnterPathView> Win32Toolkit::CreateEnterPath() { return MakeEnterPathView(*this); }

std::unique_ptr<UpgradeView> Win32Toolkit::CreateUpgrade() { return MakeUpgradeView(*this); }

void Win32Toolkit::DoEvents() {
  MSG message{};
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (!Handle(message)) break;
  }
  RunPending();
}

void Win32Toolkit::Post(HWND window, std::function<void()> action) {
  pending_.emplace_back(window, std::move(action));
}

void Win32Toolkit::Forget(HWND window) {
  pending_.erase(std::remove_if(pending_.begin(), pending_.end(),
                                [window](const auto& entry) { return entry.first == window; }),
                 pending_.end());
}

void Win32Toolkit::RunUntil(const bool& done) {
  RunPending();
  MSG message{};
  while (!done) {
    const BOOL got = GetMessageA(&message, nullptr, 0, 0);
    if (got <= 0) {
      // Leave WM_QUIT for the loops outside this one.
      if (got == 0) PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    Handle(message);
    RunPending();
  }
}

bool Win32Toolkit::Handle(MSG& message) {
  if (message.message == WM_QUIT) {
    PostQuitMessage(static_cast<int>(message.wParam));
    return false;
  }
  // Tab, Enter and Esc as in a dialog, in every window of the program.
  HWND root = message.hwnd ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
  if (root && IsDialogMessageA(root, &message)) return true;
  TranslateMessage(&message);
  DispatchMessageA(&message);
  return true;
}

void Win32Toolkit::RunPending() {
  while (!pending_.empty()) {
    auto action = std::move(pending_.front().second);
    pending_.pop_front();
    action();
  }
}

Win32Toolkit::ModalScope::ModalScope(Win32Toolkit& kit, HWND window) : kit_(kit) {
  EnumThreadWindows(GetCurrentThreadId(), CollectEnabled, reinterpret_cast<LPARAM>(&disabled_));
  disabled_.erase(std::remove(disabled_.begin(), disabled_.end(), window), disabled_.end());
  for (HWND other : disabled_) EnableWindow(other, FALSE);
  kit_.modal_.push_back(window);
}

Win32Toolkit::ModalScope::~ModalScope() {
  kit_.modal_.pop_back();
  for (HWND other : disabled_) {
    if (IsWindow(other)) EnableWindow(other, TRUE);
  }
}

}  // namespace vsu::win32ui
