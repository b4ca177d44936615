#pragma once
// Program paths (Windows form) to Linux paths. "\" becomes "/"; "X:\..." lies
// on drive X, the folder named by env VELASCANUPG_DRIVE_X; a path that starts
// with "\" lies at the root of the current directory's drive, and a relative
// path below the current directory, on that drive too. ".." stops at the
// drive's root, as on Windows, so no path ever resolves outside the mapped
// drives. Each component that does not exist with its exact name is matched
// case-insensitively.

#include <optional>
#include <string>
#include <string_view>

namespace vsu::posix {

// nullopt when the path lies on no mapped drive: an unmapped drive letter, a
// network path, or a path without a drive while the current directory is on
// none of the mapped drives.
std::optional<std::string> MapPath(std::string_view programPath);

// The last component of a mapped path.
std::string_view BaseName(std::string_view path);

}  // namespace vsu::posix
