#pragma once
// Where the database engine finds a settings database outside Windows: SQLite
// files stand in for the .mdb files, their program paths mapped like any other.

#include <optional>
#include <string>

namespace vsu::posix {

// The mapped path of an ordinary file; nullopt for a path that maps nowhere, a
// missing file or a directory, which must read as "not found" and never as an
// empty database.
std::optional<std::string> MapDatabaseFile(const std::string& path);

}  // namespace vsu::posix
