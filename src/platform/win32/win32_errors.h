#pragma once
// Win32 error codes in the program's terms: the system's own description,
// which the message boxes show.

#include <windows.h>

#include <string>

namespace vsu::win32 {

// The system's text for code, without its closing period and line break.
std::string SystemMessage(DWORD code);
// Throws Failure with the description of code and the path it concerns.
[[noreturn]] void ThrowError(DWORD code, const std::string& path);
// ThrowError with the calling thread's last error.
[[noreturn]] void ThrowLastError(const std::string& path);

}  // namespace vsu::win32
