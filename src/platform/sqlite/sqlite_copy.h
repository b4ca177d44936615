#pragma once
// Consistent copies of SQLite databases, shared by the platforms: SQLite's
// online backup, which takes the pages under the engine's own locks.

#include <string>

namespace vsu::sqlite {

// Makes the database in the existing file toName (an empty file is an empty
// database) hold what the database in fromName holds at one moment, while
// other connections may use either. False, with nothing copied, when fromName
// is no SQLite database. The names are the engine's; fromPath and toPath, the
// program's, name the files in failure descriptions.
bool CopySqliteDatabase(const std::string& fromName, const std::string& toName, const std::string& fromPath,
                        const std::string& toPath);

}  // namespace vsu::sqlite
