#include "platform/win32/win32_errors.h"

#include "common/failure.h"
#include "common/file_errors.h"

namespace vsu::win32 {

std::string SystemMessage(DWORD code) {
  char* text = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
      code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string message = length && text ? std::string(text, length) : "Error " + std::to_string(code);
  LocalFree(text);
  while (!message.empty() && (message.back() == '\r' || message.back() == '\n' ||
                              message.back() == ' ' || message.back() == '.')) {
    message.pop_back();
  }
  return message;
}

std::string FileErrorText(DWORD code, const std::string& path) {
  const char* text = FileErrorDescription(code);
  return (text ? std::string(text) : SystemMessage(code)) + ": " + path;
}

void ThrowError(DWORD code, const std::string& path) { throw Failure(FileErrorText(code, path)); }

void ThrowLastError(const std::string& path) { ThrowError(GetLastError(), path); }

}  // namespace vsu::win32
