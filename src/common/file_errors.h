#pragma once
// The words a failed file operation reports, the same on every platform: the
// run-time's text for the Win32 error code ("Permission denied"), which the
// backends follow with ": " and the path concerned.

#include <cstdint>

namespace vsu {

// The text for a Win32 error code; nullptr for a code that has none of its
// own, whose description is then the platform's.
const char* FileErrorDescription(std::uint32_t win32Code);

}  // namespace vsu
