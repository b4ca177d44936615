// The Linux files and system backends: the file contract, where paths map, whole files, failures at once.

#include <sys/stat.h>
#include <unistd.h>

#include "platform/posix/path_map.h"
#include "platform/posix/posix_files.h"
#include "platform/posix/posix_system.h"
#include "support/files_contract.h"
#include "support/posix/process_tools.h"
#include "support/posix/temp_dir.h"
#include "support/testing.h"

namespace vsu::test { namespace {

// A running program keeps its executable in use.
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
    fs::copy_file("/bin/sleep", program, fs::copy_options::overwrite_existing);
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

INSTANTIATE_TEST_SUITE_P(
    Posix, FilesContract,
    ::testing::Values(FilesBackendMaker{"stand_in", [] { return std::make_unique<PosixFilesBackend>(); }}), CaseName());

class PosixFilesTest : public ::testing::Test {
 protected:
  PosixFilesTest() {
    dir_.Write("windows/WIN.INI", "[windows]\r\n");
    dir_.Write("snmpc/.hidden.ini", "x");
    dir_.MakeDir("snmpc/mibfiles");
  }
  TempDir dir_;
  ScopedEnv drive_{"VELASCANUPG_DRIVE_C", dir_.str().c_str()};
  ScopedEnv unmapped_{"VELASCANUPG_DRIVE_Q", nullptr};
  posix::PosixFiles files_;
};

struct PathCase {
  const char *name, *path;
  const char* mapped;         // below the drive's folder; nullptr: on no drive
  bool exists = false;        // as an ordinary, visible file
  const char* cwd = "snmpc";  // below the drive's folder; nullptr: a folder on no drive
};

// Every path stays on a mapped drive, that of the current directory when it names none.
TEST_F(PosixFilesTest, PathsStayOnTheirDriveAndExistAsOrdinaryVisibleFiles) {
  for (const PathCase& c : std::vector<PathCase>{
           {.name = "case_ignored", .path = "C:\\WINDOWS\\WIN.INI", .mapped = "windows/WIN.INI", .exists = true},
           {.name = "slashes", .path = "c:/windows/win.ini", .mapped = "windows/WIN.INI", .exists = true},
           {.name = "trailing_backslash", .path = "c:\\windows\\win.ini\\", .mapped = "windows/WIN.INI/"},
           {.name = "folder", .path = "c:\\snmpc\\mibfiles", .mapped = "snmpc/mibfiles"},
           {.name = "hidden", .path = "c:\\snmpc\\.hidden.ini", .mapped = "snmpc/.hidden.ini"},
           {.name = "missing_folder", .path = "c:\\nowhere\\win.ini", .mapped = "nowhere/win.ini"},
           {.name = "wildcard", .path = "c:\\windows\\*.ini", .mapped = "windows/*.ini", .exists = true},
           {.name = "wildcard_hidden_only", .path = "c:\\snmpc\\*.ini", .mapped = "snmpc/*.ini"},
           {.name = "empty", .path = "", .mapped = "snmpc"},
           {.name = "leading_backslash", .path = "\\Windows\\win.ini", .mapped = "windows/WIN.INI", .exists = true,
            .cwd = "snmpc/mibfiles"},
           {.name = "relative", .path = "MIBFILES\\names.txt", .mapped = "snmpc/mibfiles/names.txt"},
           {.name = "root_of_the_current_drive", .path = "\\Tallyback.exe", .mapped = "Tallyback.exe"},
           {.name = "parent_of_the_root", .path = "c:\\..\\..\\etc\\passwd", .mapped = "etc/passwd"},
           {.name = "parent_of_the_current", .path = "..\\..\\..\\x", .mapped = "x", .cwd = "snmpc/mibfiles"},
           {.name = "unmapped_drive", .path = "q:\\windows\\win.ini", .mapped = nullptr},
           {.name = "network_path", .path = "\\\\server\\share\\x", .mapped = nullptr},
           {.name = "no_drive_here", .path = "\\etc\\passwd", .mapped = nullptr, .cwd = nullptr},
           {.name = "relative_on_no_drive", .path = "etc\\passwd", .mapped = nullptr, .cwd = nullptr}}) {
    SCOPED_TRACE(c.name);
    const auto cwd = fs::current_path();
    fs::current_path(c.cwd ? dir_.path() / c.cwd : fs::path("/"));
    const auto mapped = posix::MapPath(c.path);
    const bool exists = files_.FileExists(c.path);
    fs::current_path(cwd);
    EXPECT_EQ(mapped.value_or("none"), c.mapped ? (dir_.path() / c.mapped).string() : "none");
    EXPECT_EQ(exists, c.exists);
  }
}

// A copy keeps the mode and leaves nothing beside it; a path on no drive, and a pipe (no endless wait), fail at once.
TEST_F(PosixFilesTest, CopiesLeaveWholeFilesAndFailuresComeAtOnce) {
  ::chmod(dir_.Write("Temp/VelaScanSrv.ex_", "new contents").c_str(), 0755);
  dir_.Write("VelaScanSrv.exe", "old contents that were longer");
  dir_.Write("VelaScanSrv.exe.vsu-copy", "what a copy cut short left");
  files_.CopyFile("c:\\temp\\VelaScanSrv.ex_", "c:\\VelaScanSrv.exe");
  EXPECT_EQ(dir_.Read("VelaScanSrv.exe"), "new contents");
  EXPECT_EQ(fs::status(dir_.path() / "VelaScanSrv.exe").permissions(), static_cast<fs::perms>(0755));
  std::vector<std::string> left;
  for (const auto& e : fs::recursive_directory_iterator(dir_.path())) left.push_back(e.path().filename());
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{".hidden.ini", "Temp", "VelaScanSrv.ex_", "VelaScanSrv.exe", "WIN.INI",
                                            "mibfiles", "snmpc", "windows"}));
  ASSERT_EQ(::mkfifo((dir_.path() / "pipe").c_str(), 0644), 0);
  auto& f = files_;
  const std::pair<const char*, std::function<void()>> cases[] = {
      {"Path not found: q:\\names.txt", [&] { f.OpenForInput("q:\\names.txt"); }},
      {"Path/File access error: c:\\pipe", [&] { f.OpenForInput("c:\\pipe"); }},
      {"Path/File access error: c:\\pipe", [&] { f.CreateForOutput("c:\\pipe"); }},
      {"Path/File access error: c:\\pipe", [&] { f.CopyFile("c:\\pipe", "c:\\copy"); }}};
  for (const auto& [description, action] : cases) {
    try {
      action();
      ADD_FAILURE() << "no failure: " << description;
    } catch (const Failure& failure) {
      EXPECT_EQ(failure.Description(), description);
    }
  }
}

TEST(PosixSystem, CommandLineAndWindowsDirectory) {
  EXPECT_EQ(posix::PosixSystem({"-uninstall", "{A B}", ""}).CommandLine(), "-uninstall {A B} ");
  EXPECT_EQ(posix::PosixSystem({}).CommandLine(), "");
  // The length written, or the size needed when it does not fit.
  for (const auto& [value, size, result, written] :
       {std::tuple<const char*, unsigned, unsigned, std::string>{nullptr, 250, 0, "  "}, {"", 250, 0, "  "},
        {"C:\\WINDOWS", 250, 10, "C:\\WINDOWS"}, {"C:\\WINDOWS", 10, 11, "   "}}) {
    ScopedEnv windir("WINDIR", value);
    std::string buffer(size, ' ');
    EXPECT_EQ(posix::PosixSystem({}).GetWindowsDirectoryA(buffer.data(), size), result) << size;
    EXPECT_EQ(buffer.substr(0, written.size()), written);
  }
}

}}  // namespace vsu::test
