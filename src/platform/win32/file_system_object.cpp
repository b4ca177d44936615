#include "platform/win32/file_system_object.h"

#include "common/file_errors.h"
#include "platform/win32/com_dispatch.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/win32_errors.h"

namespace vsu::win32 {
namespace {

// The object raises the run-time's file errors (FACILITY_CONTROL); their
// Win32 twins give the words that every platform uses.
DWORD Win32CodeOf(HRESULT code) {
  if (HRESULT_FACILITY(code) == FACILITY_WIN32) return HRESULT_CODE(code);
  if (HRESULT_FACILITY(code) != FACILITY_CONTROL) return 0;
  switch (HRESULT_CODE(code)) {
    case 53: return ERROR_FILE_NOT_FOUND;
    case 76: return ERROR_PATH_NOT_FOUND;
    case 70: return ERROR_ACCESS_DENIED;
    case 58: return ERROR_FILE_EXISTS;
    case 61: return ERROR_DISK_FULL;
    case 71: return ERROR_NOT_READY;
    case 52: return ERROR_INVALID_NAME;
    default: return 0;
  }
}

class ScriptingCopier : public FileCopier {
 public:
  ScriptingCopier() : object_(Dispatch::Create("Scripting.FileSystemObject")) {}

  void Copy(const std::string& from, const std::string& to) override {
    try {
      object_.Call("CopyFile", {Variant::Text(from), Variant::Text(to)});
    } catch (const ComFailure& failure) {
      const CopyProblem problem = FindCopyProblem(from, to);
      const char* words = FileErrorDescription(Win32CodeOf(failure.Code()));
      if (!words) words = FileErrorDescription(problem.code);
      throw Failure((words ? std::string(words) : failure.Description()) + ": " + problem.path);
    }
  }

 private:
  Dispatch object_;
};

}  // namespace

std::unique_ptr<FileCopier> CreateScriptingCopier() { return std::make_unique<ScriptingCopier>(); }

CopyProblem FindCopyProblem(const std::string& from, const std::string& to) {
  constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  if (!UniqueHandle(CreateFileA(from.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr))) {
    return {GetLastError(), from};
  }
  // Opened as the copy would write it, without creating or changing it.
  if (!UniqueHandle(CreateFileA(to.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr))) {
    const DWORD code = GetLastError();
    return {code == ERROR_FILE_NOT_FOUND ? 0 : code, to};
  }
  return {0, to};
}

}  // namespace vsu::win32
