#include "platform/posix/errors.h"

#include <cerrno>
#include <cstring>

#include "common/failure.h"
#include "common/file_errors.h"

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
  // A folder where a file was expected has a text of its own; every other
  // error reads as its Win32 twin does on Windows.
  const char* text = err == EISDIR ? "Path/File access error" : FileErrorDescription(Win32Code(err));
  return std::string(text ? text : std::strerror(err)) + ": " + path;
}

void ThrowFileError(int err, const std::string& path) { throw Failure(FileErrorText(err, path)); }

void ThrowFolderError(int err, const std::string& path) { ThrowFileError(err == ENOENT ? ENOTDIR : err, path); }

}  // namespace vsu::posix
