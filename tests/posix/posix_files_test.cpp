// The Linux files and system backends beyond the file contract.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "common/failure.h"
#include "platform/posix/path_map.h"
#include "platform/posix/posix_files.h"
#include "platform/posix/posix_system.h"
#include "support/testing.h"
#include "support/posix/temp_dir.h"

namespace vsu {
namespace {

namespace fs = std::filesystem;
using test::PrintTo;

class PosixFilesTest : public ::testing::Test {
 protected:
  PosixFilesTest() {
    dir_.Write("windows/WIN.INI", "[windows]\r\n");
    dir_.Write("snmpc/.hidden.ini", "x");
    dir_.MakeDir("snmpc/mibfiles");
  }
  test::TempDir dir_;
  test::ScopedEnv drive_{"VELASCANUPG_DRIVE_C", dir_.str().c_str()};
  test::ScopedEnv unmapped_{"VELASCANUPG_DRIVE_Q", nullptr};
  posix::PosixFiles files_;
};

struct PathCase {
  const char* name;
  const char* path;
  const char* mapped;         // below the drive's folder; nullptr: on no drive
  bool exists = false;        // as an ordinary, visible file
  const char* cwd = "snmpc";  // below the drive's folder; nullptr: a folder on no drive
};

class PathTest : public PosixFilesTest, public ::testing::WithParamInterface<PathCase> {};

// Every path stays on a mapped drive, that of the current directory when it names none.
TEST_P(PathTest, StaysOnItsDriveAndExistsAsAnOrdinaryVisibleFile) {
  const auto& c = GetParam();
  const auto cwd = fs::current_path();
  fs::current_path(c.cwd ? dir_.path() / c.cwd : fs::path("/"));
  const auto mapped = posix::MapPath(c.path);
  const bool exists = files_.FileExists(c.path);
  fs::current_path(cwd);
  EXPECT_EQ(mapped.value_or("none"), c.mapped ? (dir_.path() / c.mapped).string() : "none");
  EXPECT_EQ(exists, c.exists);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PathTest,
    ::testing::Values(
        PathCase{.name = "case_ignored", .path = "C:\\WINDOWS\\WIN.INI", .mapped = "windows/WIN.INI", .exists = true},
        PathCase{.name = "slashes", .path = "c:/windows/win.ini", .mapped = "windows/WIN.INI", .exists = true},
        PathCase{.name = "trailing_backslash", .path = "c:\\windows\\win.ini\\", .mapped = "windows/WIN.INI/"},
        PathCase{.name = "folder", .path = "c:\\snmpc\\mibfiles", .mapped = "snmpc/mibfiles"},
        PathCase{.name = "hidden", .path = "c:\\snmpc\\.hidden.ini", .mapped = "snmpc/.hidden.ini"},
        PathCase{.name = "missing_folder", .path = "c:\\nowhere\\win.ini", .mapped = "nowhere/win.ini"},
        PathCase{.name = "wildcard", .path = "c:\\windows\\*.ini", .mapped = "windows/*.ini", .exists = true},
        PathCase{.name = "wildcard_hidden_only", .path = "c:\\snmpc\\*.ini", .mapped = "snmpc/*.ini"},
        PathCase{.name = "empty", .path = "", .mapped = "snmpc"},
        PathCase{.name = "leading_backslash", .path = "\\Windows\\win.ini", .mapped = "windows/WIN.INI",
                 .exists = true, .cwd = "snmpc/mibfiles"},
        PathCase{.name = "relative", .path = "MIBFILES\\names.txt", .mapped = "snmpc/mibfiles/names.txt"},
        PathCase{.name = "root_of_the_current_drive", .path = "\\Tallyback.exe", .mapped = "Tallyback.exe"},
        PathCase{.name = "parent_of_the_root", .path = "c:\\..\\..\\etc\\passwd", .mapped = "etc/passwd"},
        PathCase{.name = "parent_of_the_current", .path = "..\\..\\..\\x", .mapped = "x", .cwd = "snmpc/mibfiles"},
        PathCase{.name = "unmapped_drive", .path = "q:\\windows\\win.ini", .mapped = nullptr},
        PathCase{.name = "network_path", .path = "\\\\server\\share\\x", .mapped = nullptr},
        PathCase{.name = "no_drive_here", .path = "\\etc\\passwd", .mapped = nullptr, .cwd = nullptr},
        PathCase{.name = "relative_on_no_drive", .path = "etc\\passwd", .mapped = nullptr, .cwd = nullptr}),
    test::CaseName());

// A copy keeps the mode and leaves nothing beside it; a looping link fails the file test.
TEST_F(PosixFilesTest, CopyRenameAndOutputLeaveWholeFiles) {
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
  fs::create_symlink("loop.ini", dir_.path() / "windows" / "loop.ini");
  EXPECT_THROW(files_.FileExists("c:\\windows\\loop.ini"), Failure);
}

// A path on no drive, and a pipe (which would wait for its other end forever), fail at once.
TEST_F(PosixFilesTest, FailsAtOnceWithTheDescriptionAndPath) {
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
  const struct {
    const char* value;
    unsigned size, result;
    const char* written;
  } cases[] = {{nullptr, 250, 0, "  "}, {"", 250, 0, "  "}, {"C:\\WINDOWS", 250, 10, "C:\\WINDOWS"},
               {"C:\\WINDOWS", 10, 11, "   "}};
  for (const auto& c : cases) {
    test::ScopedEnv windir("WINDIR", c.value);
    std::string buffer(c.size, ' ');
    EXPECT_EQ(posix::PosixSystem({}).GetWindowsDirectoryA(buffer.data(), c.size), c.result) << c.size;
    EXPECT_EQ(buffer.substr(0, std::string(c.written).size()), c.written);
  }
}

}  // namespace
}  // namespace vsu
