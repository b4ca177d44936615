#include "platform/win32/win32_files.h"

#include <windows.h>

#include "common/failure.h"
#include "platform/win32/file_system_object.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/win32_errors.h"

namespace vsu::win32 {
namespace {

// What a listing answers for a name that is simply not there.
bool IsNotFound(DWORD code) {
  switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_NO_MORE_FILES:
    case ERROR_INVALID_NAME:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_DIRECTORY:
      return true;
    default:
      return false;
  }
}

bool IsOrdinaryFile(const WIN32_FIND_DATAA& found) {
  constexpr DWORD kNotOrdinary = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  return (found.dwFileAttributes & kNotOrdinary) == 0;
}

class Win32InputFile : public InputFile {
 public:
  Win32InputFile(UniqueHandle handle, std::string path) : handle_(std::move(handle)), path_(std::move(path)) {}
  std::size_t Read(char* buffer, std::size_t size) override {
    DWORD got = 0;
    const DWORD wanted = size > 0x10000000 ? 0x10000000 : static_cast<DWORD>(size);
    if (!ReadFile(handle_.get(), buffer, wanted, &got, nullptr)) ThrowLastError(path_);
    return got;
  }

 private:
  UniqueHandle handle_;
  std::string path_;
};

class Win32OutputFile : public OutputFile {
 public:
  Win32OutputFile(UniqueHandle handle, std::string path) : handle_(std::move(handle)), path_(std::move(path)) {}
  void Write(std::string_view bytes) override {
    if (!handle_) throw Failure("Bad file name or number: " + path_);
    while (!bytes.empty()) {
      DWORD written = 0;
      const DWORD chunk = bytes.size() > 0x10000000 ? 0x10000000 : static_cast<DWORD>(bytes.size());
      if (!WriteFile(handle_.get(), bytes.data(), chunk, &written, nullptr)) ThrowLastError(path_);
      bytes.remove_prefix(written);
    }
  }
  void Close() override {
    if (!handle_) return;
    // Out of the owner first, so that a failing close is not tried again.
    if (!CloseHandle(handle_.Release())) ThrowLastError(path_);
  }

 private:
  UniqueHandle handle_;
  std::string path_;
};

}  // namespace

bool Win32Files::FileExists(const std::string& path) {
  WIN32_FIND_DATAA found{};
  UniqueFind listing(FindFirstFileA(path.c_str(), &found));
  if (!listing) {
    const DWORD code = GetLastError();
    if (IsNotFound(code)) return false;
    ThrowError(code, path);
  }
  do {
    if (IsOrdinaryFile(found)) return true;
  } while (FindNextFileA(listing.get(), &found));
  return false;
}

void Win32Files::RemoveFile(const std::string& path) {
  if (!::DeleteFileA(path.c_str())) ThrowLastError(path);
}

void Win32Files::RenameFile(const std::string& from, const std::string& to) {
  if (::MoveFileA(from.c_str(), to.c_str())) return;
  // The file in the way is the one to name; any other failure concerns the source.
  const DWORD code = GetLastError();
  ThrowError(code, code == ERROR_ALREADY_EXISTS || code == ERROR_FILE_EXISTS ? to : from);
}

std::unique_ptr<FileCopier> Win32Files::CreateFileCopier() { return CreateScriptingCopier(); }

std::unique_ptr<InputFile> Win32Files::OpenForInput(const std::string& path) {
  UniqueHandle handle(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!handle) ThrowLastError(path);
  return std::make_unique<Win32InputFile>(std::move(handle), path);
}

std::unique_ptr<OutputFile> Win32Files::CreateForOutput(const std::string& path) {
  UniqueHandle handle(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!handle) ThrowLastError(path);
  return std::make_unique<Win32OutputFile>(std::move(handle), path);
}

void Win32Files::CreateFolder(const std::string& path) {
  if (::CreateDirectoryA(path.c_str(), nullptr)) return;
  const DWORD code = GetLastError();
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (code == ERROR_ALREADY_EXISTS && attributes != INVALID_FILE_ATTRIBUTES &&
      (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return;
  }
  ThrowError(code, path);
}

void Win32Files::ProbeWritable(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) ThrowError(ERROR_ACCESS_DENIED, path);
    UniqueHandle handle(CreateFileA(path.c_str(), GENERIC_WRITE | DELETE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle) ThrowLastError(path);
    return;
  }
  const DWORD code = GetLastError();
  if (code != ERROR_FILE_NOT_FOUND) ThrowError(code, path);
  const auto slash = path.find_last_of("\\/");
  const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  const DWORD folderAttributes = GetFileAttributesA(folder.c_str());
  if (folderAttributes == INVALID_FILE_ATTRIBUTES || !(folderAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
    ThrowError(ERROR_PATH_NOT_FOUND, path);
  }
}

std::uint64_t Win32Files::FreeBytes(const std::string& folder) {
  ULARGE_INTEGER available{};
  if (!GetDiskFreeSpaceExA(folder.c_str(), &available, nullptr, nullptr)) ThrowLastError(folder);
  return available.QuadPart;
}

}  // namespace vsu::win32
