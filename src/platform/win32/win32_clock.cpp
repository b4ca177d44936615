#include "platform/win32/win32_clock.h"

#include <windows.h>

namespace vsu::win32 {

void Win32Clock::Sleep(unsigned milliseconds) { ::Sleep(milliseconds); }

}  // namespace vsu::win32
