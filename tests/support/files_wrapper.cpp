#include "support/files_wrapper.h"

#include "common/failure.h"

namespace vsu::test {

void FilesWrapper::Count(const std::string& path) {
  if (++calls != failCall) return;
  faultFired = true;
  throw Failure(FaultText(path));
}

bool FilesWrapper::FileExists(const std::string& path) {
  Count(path);
  return hidden.count(path) == 0 && target_.FileExists(path);
}

void FilesWrapper::DeleteFile(const std::string& path) {
  Count(path);
  target_.DeleteFile(path);
}

void FilesWrapper::RenameFile(const std::string& from, const std::string& to) {
  Count(from);
  target_.RenameFile(from, to);
}

void FilesWrapper::CopyFile(const std::string& from, const std::string& to) {
  Count(to);
  target_.CopyFile(from, to);
}

std::unique_ptr<InputFile> FilesWrapper::OpenForInput(const std::string& path) {
  Count(path);
  if (unreadable.count(path)) throw Failure("Permission denied: " + path);
  return target_.OpenForInput(path);
}

std::unique_ptr<OutputFile> FilesWrapper::CreateForOutput(const std::string& path) {
  Count(path);
  if (unwritable.count(path)) throw Failure("Permission denied: " + path);
  return target_.CreateForOutput(path);
}

}  // namespace vsu::test
