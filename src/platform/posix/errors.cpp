#include "platform/posix/errors.h"

#include <cerrno>
#include <cstring>

#include "common/failure.h"

namespace vsu::posix {

std::uint32_t Win32Code(int err) {
  switch (err) {
    case 0: return 0;
    case ENOENT: return 2;     // ERROR_FILE_NOT_FOUND
    case ENOTDIR: return 3;    // ERROR_PATH_NOT_FOUND
    case EACCES:
    case EPERM: return 5;      // ERROR_ACCESS_DENIED
    case ETXTBSY:
    case EBUSY: return 32;     // ERROR_SHARING_VIOLATION
    case EEXIST: return 183;   // ERROR_ALREADY_EXISTS
    case ENOSPC: return 112;   // ERROR_DISK_FULL
    case ENAMETOOLONG: return 206;
    case EISDIR: return 5;
    default: return 31;        // ERROR_GEN_FAILURE
  }
}

std::string FileErrorText(int err, const std::string& path) {
  const char* text = nullptr;
  switch (err) {
    case ENOENT: text = "File not found"; break;
    case ENOTDIR: text = "Path not found"; break;
    case EACCES:
    case EPERM:
    case ETXTBSY:
    case EBUSY: text = "Permission denied"; break;
    case EEXIST: text = "File already exists"; break;
    case EISDIR: text = "Path/File access error"; break;
    case ENOSPC: text = "Disk full"; break;
    default: text = std::strerror(err);
  }
  return std::string(text) + ": " + path;
}

void ThrowFileError(int err, const std::string& path) { throw Failure(FileErrorText(err, path)); }

}  // namespace vsu::posix
