#include "support/files_wrapper.h"

#include "common/failure.h"

namespace vsu::test {
namespace {

// Output whose writes count as operations; a crash tears the write in half.
class CountedOutput : public OutputFile {
 public:
  CountedOutput(FilesWrapper& files, std::unique_ptr<OutputFile> target, std::string path)
      : files_(files), target_(std::move(target)), path_(std::move(path)) {}
  void Write(std::string_view bytes) override {
    try {
      files_.Count(path_);
    } catch (const Crash&) {
      target_->Write(bytes.substr(0, bytes.size() / 2));
      throw;
    }
    target_->Write(bytes);
  }
  void Close() override { files_.Count(path_), target_->Close(); }

 private:
  FilesWrapper& files_;
  std::unique_ptr<OutputFile> target_;
  std::string path_;
};

class CountedCopier : public FileCopier {
 public:
  CountedCopier(FilesWrapper& files, std::unique_ptr<FileCopier> target) : files_(files), target_(std::move(target)) {}
  void Copy(const std::string& from, const std::string& to) override { files_.Count(to), target_->Copy(from, to); }

 private:
  FilesWrapper& files_;
  std::unique_ptr<FileCopier> target_;
};

}  // namespace

std::unique_ptr<FileCopier> FilesWrapper::CreateFileCopier() {
  Count("Scripting.FileSystemObject");
  return std::make_unique<CountedCopier>(*this, target_.CreateFileCopier());
}

std::unique_ptr<InputFile> FilesWrapper::OpenForInput(const std::string& path) {
  Count(path);
  if (unreadable.count(path)) throw Failure("Permission denied: " + path);
  return target_.OpenForInput(path);
}

std::unique_ptr<OutputFile> FilesWrapper::CreateForOutput(const std::string& path) {
  Count(path);
  if (unwritable.count(path)) throw Failure("Permission denied: " + path);
  return std::make_unique<CountedOutput>(*this, target_.CreateForOutput(path), path);
}

}  // namespace vsu::test
