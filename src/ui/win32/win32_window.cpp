#include "ui/win32/win32_window.h"

#include <cmath>

#include "ui/win32/win32_toolkit.h"

namespace vsu::win32ui {
namespace {

constexpr char kClassName[] = "VelaScanUpgWindow";

ATOM RegisterWindowClass(WNDPROC procedure, HICON large, HICON small) {
  static ATOM atom = 0;
  if (atom) return atom;
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hIcon = large;
  windowClass.hIconSm = small;
  windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  windowClass.lpszClassName = kClassName;
  atom = RegisterClassExA(&windowClass);
  return atom;
}

}  // namespace

NativeWindow::NativeWindow(Win32Toolkit& kit, const char* caption, TwipSize client, DWORD style, DWORD exStyle)
    : kit_(kit) {
  RegisterWindowClass(WindowProc, kit.IconLarge(), kit.IconSmall());
  RECT rect{0, 0, PixelsX(client.width), PixelsY(client.height)};
  AdjustWindowRectEx(&rect, style, FALSE, exStyle);
  hwnd_ = CreateWindowExA(exStyle | WS_EX_CONTROLPARENT, kClassName, caption, style, CW_USEDEFAULT, CW_USEDEFAULT,
                          rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr,
                          GetModuleHandleA(nullptr), nullptr);
  // Messages reach OnMessage only from here on, when the derived window exists.
  SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

NativeWindow::~NativeWindow() {
  kit_.Forget(hwnd_);
  SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
  DestroyWindow(hwnd_);
}

HWND NativeWindow::AddControl(const char* className, const char* text, DWORD style, DWORD exStyle,
                              layout::Rect place, int id, int offsetLeft, int offsetTop) {
  const int left = PixelsX(place.left + offsetLeft);
  const int top = PixelsY(place.top + offsetTop);
  const int right = PixelsX(place.left + offsetLeft + place.width);
  const int bottom = PixelsY(place.top + offsetTop + place.height);
  HWND control = CreateWindowExA(exStyle, className, text, WS_CHILD | WS_VISIBLE | style, left, top, right - left,
                                 bottom - top, hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 GetModuleHandleA(nullptr), nullptr);
  SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(kit_.Font()), FALSE);
  return control;
}

TwipSize NativeWindow::OuterTwips() const {
  RECT rect{};
  GetWindowRect(hwnd_, &rect);
  return {(rect.right - rect.left) * 1440.0 / kit_.DpiX(), (rect.bottom - rect.top) * 1440.0 / kit_.DpiY()};
}

void NativeWindow::MoveTwips(double left, double top) {
  SetWindowPos(hwnd_, nullptr, PixelsX(left), PixelsY(top), 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void NativeWindow::SetText(HWND control, const std::string& text) { SetWindowTextA(control, text.c_str()); }

std::string NativeWindow::Text(HWND control) const {
  const int length = GetWindowTextLengthA(control);
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  text.resize(static_cast<std::size_t>(GetWindowTextA(control, text.data(), length + 1)));
  return text;
}

void NativeWindow::ShowAndActivate() {
  ShowWindow(hwnd_, SW_SHOWNORMAL);
  SetForegroundWindow(hwnd_);
  UpdateWindow(hwnd_);
}

int NativeWindow::PixelsX(double twips) const {
  return static_cast<int>(std::lround(twips * kit_.DpiX() / 1440.0));
}

int NativeWindow::PixelsY(double twips) const {
  return static_cast<int>(std::lround(twips * kit_.DpiY() / 1440.0));
}

LRESULT NativeWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_ACTIVATE) {
    // As a dialog does: the control that had the focus gets it back when the
    // window is active again, after a message box for instance.
    if (LOWORD(wParam) == WA_INACTIVE) {
      HWND focus = GetFocus();
      if (focus && IsChild(hwnd_, focus)) focus_ = focus;
    } else if (focus_ && IsWindow(focus_)) {
      SetFocus(focus_);
      return 0;
    }
  }
  return DefWindowProcA(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK NativeWindow::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* window = reinterpret_cast<NativeWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (!window) return DefWindowProcA(hwnd, message, wParam, lParam);
  return window->OnMessage(message, wParam, lParam);
}

}  // namespace vsu::win32ui
