#include "common/file_errors.h"

namespace vsu {

const char* FileErrorDescription(std::uint32_t win32Code) {
  switch (win32Code) {
    case 2: return "File not found";             // ERROR_FILE_NOT_FOUND
    case 3:                                      // ERROR_PATH_NOT_FOUND
    case 15: return "Path not found";            // ERROR_INVALID_DRIVE
    case 5:                                      // ERROR_ACCESS_DENIED
    case 32:                                     // ERROR_SHARING_VIOLATION
    case 33: return "Permission denied";         // ERROR_LOCK_VIOLATION
    case 80:                                     // ERROR_FILE_EXISTS
    case 183: return "File already exists";      // ERROR_ALREADY_EXISTS
    case 39:                                     // ERROR_HANDLE_DISK_FULL
    case 112: return "Disk full";                // ERROR_DISK_FULL
    case 21: return "Disk not ready";            // ERROR_NOT_READY
    case 123: return "Bad file name or number";  // ERROR_INVALID_NAME
    default: return nullptr;
  }
}

}  // namespace vsu
