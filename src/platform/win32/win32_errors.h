#pragma once
// Win32 error codes in the program's terms, as the message boxes show them.

#include <windows.h>

#include <string>

namespace vsu::win32 {

// The system's text for code, without its closing period and line break.
std::string SystemMessage(DWORD code);
// The description of a failed file operation on path: the program's own words
// for the code where it has them (as on every platform), else the system's.
std::string FileErrorText(DWORD code, const std::string& path);
// Throws Failure with FileErrorText.
[[noreturn]] void ThrowError(DWORD code, const std::string& path);
// ThrowError with the calling thread's last error.
[[noreturn]] void ThrowLastError(const std::string& path);

}  // namespace vsu::win32
