#include "platform/win32/win32_platform.h"

namespace vsu::win32 {

Win32Platform::Win32Platform(WindowToolkit& ui, Transcript& log)
    : platform_{system_, files_, clock_, ui, log, db_, scm_, processes_, launcher_, ip_} {}

}  // namespace vsu::win32
