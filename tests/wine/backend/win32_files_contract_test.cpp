// The Windows backend answers the file contract; a handle that shares only
// reading keeps a file in use, as the loader does with a running program.

#include <algorithm>
#include <vector>

#include "platform/win32/com_apartment.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/win32_files.h"
#include "support/files_contract.h"
#include "support/scratch_dir.h"

namespace vsu::test {
namespace {

class Win32FilesBackend : public FilesBackend {
 public:
  Files& Port() override { return files_; }
  std::string Path(const std::string& name) override {
    std::string relative = name;
    std::replace(relative.begin(), relative.end(), '/', '\\');
    return dir_.Path(relative);
  }
  void Write(const std::string& name, const std::string& content) override { dir_.Write(name, content); }
  std::string Read(const std::string& name) override { return dir_.Read(name); }
  void HoldInUse(const std::string& name) override {
    held_.emplace_back(CreateFileA(Path(name).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(held_.back());
  }

 private:
  win32::ComApartment com_;
  ScratchDir dir_;
  win32::Win32Files files_;
  std::vector<win32::UniqueHandle> held_;
};

INSTANTIATE_TEST_SUITE_P(Win32, FilesContract,
                         ::testing::Values(FilesBackendMaker{"windows", [] { return std::make_unique<Win32FilesBackend>(); }}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vsu::test
