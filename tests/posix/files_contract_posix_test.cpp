// The Linux stand-in answers the file contract; a running program keeps its executable in use.

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <vector>

#include "platform/posix/posix_files.h"
#include "support/files_contract.h"
#include "support/posix/process_tools.h"
#include "support/posix/temp_dir.h"

namespace vsu::test {
namespace {

class PosixFilesBackend : public FilesBackend {
 public:
  ~PosixFilesBackend() override {
    for (const auto& program : held_) KillProcessesOf(program);
  }
  Files& Port() override { return files_; }
  std::string Path(const std::string& name) override {
    std::string path = "c:\\" + name;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
  }
  void Write(const std::string& name, const std::string& content) override { dir_.Write(name, content); }
  std::string Read(const std::string& name) override { return dir_.Read(name); }
  void HoldInUse(const std::string& name) override {
    const std::string program = (dir_.path() / name).string();
    std::filesystem::copy_file("/bin/sleep", program, std::filesystem::copy_options::overwrite_existing);
    if (::fork() == 0) {
      ::execl(program.c_str(), program.c_str(), "60", nullptr);
      ::_exit(127);
    }
    held_.push_back(program);
    ASSERT_TRUE(WaitFor([&] { return ProcessOf(program) != 0; }));
  }

 private:
  TempDir dir_;
  ScopedEnv drive_{"VELASCANUPG_DRIVE_C", dir_.str().c_str()};
  posix::PosixFiles files_;
  std::vector<std::string> held_;
};

INSTANTIATE_TEST_SUITE_P(Posix, FilesContract,
                         ::testing::Values(FilesBackendMaker{"stand_in", [] { return std::make_unique<PosixFilesBackend>(); }}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vsu::test
