#pragma once
// errno in the platform's terms: the Win32 error code and the description a
// failed file operation reports.

#include <cstdint>
#include <string>

namespace vsu::posix {

std::uint32_t Win32Code(int err);
// The description for a failed operation on path, e.g. "File not found: c:\x.txt".
std::string FileErrorText(int err, const std::string& path);
// Throws Failure with FileErrorText.
[[noreturn]] void ThrowFileError(int err, const std::string& path);
// The same for an operation that creates path or works on a folder, where a
// missing entry can only be a missing folder: ENOENT reads "Path not found".
[[noreturn]] void ThrowFolderError(int err, const std::string& path);

}  // namespace vsu::posix
