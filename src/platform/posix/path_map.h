#pragma once
// Program paths (Windows form) to Linux paths: "\" becomes "/"; "X:\..." starts
// at the folder named by env VELASCANUPG_DRIVE_X; a leading "\" or "/" is the
// root; a relative path is relative to the current directory. Each component
// that does not exist with its exact name is matched case-insensitively.

#include <optional>
#include <string>
#include <string_view>

namespace vsu::posix {

// nullopt when the path names a drive that is not mapped (it cannot exist).
std::optional<std::string> MapPath(std::string_view programPath);

// The last component of a mapped path.
std::string_view BaseName(std::string_view path);

}  // namespace vsu::posix
