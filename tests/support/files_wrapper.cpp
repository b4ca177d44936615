#include "support/files_wrapper.h"

#include "common/failure.h"

namespace vsu::test {

bool FilesWrapper::FileExists(const std::string& path) {
  return hidden.count(path) == 0 && target_.FileExists(path);
}

std::unique_ptr<InputFile> FilesWrapper::OpenForInput(const std::string& path) {
  if (unreadable.count(path)) throw Failure("Permission denied: " + path);
  return target_.OpenForInput(path);
}

std::unique_ptr<OutputFile> FilesWrapper::CreateForOutput(const std::string& path) {
  if (unwritable.count(path)) throw Failure("Permission denied: " + path);
  return target_.CreateForOutput(path);
}

}  // namespace vsu::test
