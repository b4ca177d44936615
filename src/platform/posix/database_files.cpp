#include "platform/posix/database_files.h"

#include <sys/stat.h>

#include "platform/posix/path_map.h"

namespace vsu::posix {

std::optional<std::string> MapDatabaseFile(const std::string& path) {
  auto mapped = MapPath(path);
  struct stat st;
  if (!mapped || ::stat(mapped->c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  return mapped;
}

}  // namespace vsu::posix
