#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "common/failure.h"
#include "common/text_lines.h"
#include "platform/posix/path_map.h"
#include "platform/posix/posix_files.h"
#include "platform/posix/posix_system.h"
#include "support/posix/process_tools.h"
#include "support/posix/temp_dir.h"

namespace vsu {
namespace {

class PosixFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_.Write("windows/WIN.INI", "[windows]\r\n");
    dir_.Write("Program Files/Vela Scan/VelaScan.mdb", "db");
    dir_.Write("snmpc/.hidden.ini", "x");
    dir_.MakeDir("snmpc/mibfiles");
  }
  test::TempDir dir_;
  test::ScopedEnv drive_{"VELASCANUPG_DRIVE_C", dir_.str().c_str()};
  test::ScopedEnv unmapped_{"VELASCANUPG_DRIVE_Q", nullptr};
  posix::PosixFiles files_;
};

struct ExistsCase {
  const char* path;
  bool exists;
};

class FileExistsTest : public PosixFilesTest, public ::testing::WithParamInterface<ExistsCase> {};

TEST_P(FileExistsTest, ListsOrdinaryVisibleFilesOnly) {
  EXPECT_EQ(files_.FileExists(GetParam().path), GetParam().exists) << GetParam().path;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FileExistsTest,
    ::testing::Values(ExistsCase{"c:\\windows\\win.ini", true},  // components matched ignoring case
                      ExistsCase{"C:\\WINDOWS\\WIN.INI", true}, ExistsCase{"c:/windows/win.ini", true},
                      ExistsCase{"c:\\Program Files\\Vela Scan\\VelaScan.mdb", true},
                      ExistsCase{"c:\\windows\\win.ini\\", false}, ExistsCase{"c:\\windows", false},
                      ExistsCase{"c:\\snmpc\\mibfiles", false},  // a directory is not a file
                      ExistsCase{"c:\\snmpc\\.hidden.ini", false},
                      ExistsCase{"c:\\windows\\system.ini", false},
                      ExistsCase{"c:\\nowhere\\win.ini", false},
                      ExistsCase{"q:\\windows\\win.ini", false},  // unmapped drive
                      ExistsCase{"c:\\windows\\*.ini", true}, ExistsCase{"c:\\snmpc\\*.ini", false},
                      ExistsCase{"", false}));

struct MapCase {
  const char* name;
  const char* cwd;  // below the drive's folder; nullptr: a folder on no drive
  const char* path;
  const char* mapped;  // below the drive's folder; nullptr: no drive
};

class MapPathTest : public PosixFilesTest, public ::testing::WithParamInterface<MapCase> {};

// Every path stays on a mapped drive: the drive of the current directory when
// the path names none, never the host's own root.
TEST_P(MapPathTest, StaysOnItsDrive) {
  const auto cwd = std::filesystem::current_path();
  std::filesystem::current_path(GetParam().cwd ? dir_.path() / GetParam().cwd : std::filesystem::path("/"));
  const auto mapped = posix::MapPath(GetParam().path);
  std::filesystem::current_path(cwd);
  if (!GetParam().mapped) {
    EXPECT_FALSE(mapped.has_value()) << *mapped;
  } else {
    EXPECT_EQ(mapped.value_or("none"), (dir_.path() / GetParam().mapped).string());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MapPathTest,
    ::testing::Values(MapCase{"leading_backslash", "snmpc/mibfiles", "\\Windows\\win.ini", "windows/WIN.INI"},
                      MapCase{"empty_directory_part", "snmpc", "\\Tallyback.exe", "Tallyback.exe"},
                      MapCase{"relative", "snmpc", "MIBFILES\\names.txt", "snmpc/mibfiles/names.txt"},
                      MapCase{"parent_of_the_root", "snmpc", "c:\\..\\..\\etc\\passwd", "etc/passwd"},
                      MapCase{"parent_of_the_current", "snmpc/mibfiles", "..\\..\\..\\x", "x"},
                      MapCase{"unmapped_drive", "snmpc", "q:\\x", nullptr},
                      MapCase{"network_path", "snmpc", "\\\\server\\share\\x", nullptr},
                      MapCase{"no_drive_here", nullptr, "\\etc\\passwd", nullptr},
                      MapCase{"relative_on_no_drive", nullptr, "etc\\passwd", nullptr}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PosixFilesTest, ALoopingLinkMakesTheTestItselfFail) {
  std::filesystem::create_symlink("loop.ini", dir_.path() / "windows" / "loop.ini");
  EXPECT_THROW(files_.FileExists("c:\\windows\\loop.ini"), Failure);
}

TEST_F(PosixFilesTest, CopyOverwritesAndKeepsTheMode) {
  const auto source = dir_.Write("Temp/VelaScanSrv.ex_", "new contents");
  ::chmod(source.c_str(), 0755);
  dir_.Write("VelaScanSrv.exe", "old contents that were longer");
  dir_.Write("VelaScanSrv.exe.vsu-copy", "what a copy cut short left");
  files_.CopyFile("c:\\temp\\VelaScanSrv.ex_", "c:\\VelaScanSrv.exe");
  EXPECT_EQ(dir_.Read("VelaScanSrv.exe"), "new contents");
  struct stat st;
  ASSERT_EQ(::stat((dir_.path() / "VelaScanSrv.exe").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0755u);
  // Nothing is left beside the destination, also of the copy cut short.
  std::size_t entries = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir_.path())) ++entries;
  EXPECT_EQ(entries, 5u);  // windows, Program Files, snmpc, Temp, VelaScanSrv.exe
}

struct FailureCase {
  const char* name;
  std::function<void(posix::PosixFiles&)> action;
  const char* description;
};

// Beside the usual files: a pipe, whose reader or writer would wait for the
// other end forever, and c:\run.exe, the program of a running process.
class FileFailureTest : public PosixFilesTest, public ::testing::WithParamInterface<FailureCase> {
 protected:
  void SetUp() override {
    PosixFilesTest::SetUp();
    ASSERT_EQ(::mkfifo((dir_.path() / "pipe").c_str(), 0644), 0);
    std::filesystem::copy_file("/bin/sleep", running_);
    if (::fork() == 0) {
      ::execl(running_.c_str(), running_.c_str(), "60", nullptr);
      ::_exit(127);
    }
    ASSERT_TRUE(test::WaitFor([&] { return test::ProcessOf(running_) != 0; }));
  }
  void TearDown() override { test::KillProcessesOf(running_); }
  const std::string running_ = dir_.str() + "/run.exe";
};

TEST_P(FileFailureTest, FailsAtOnceWithTheDescriptionAndPath) {
  try {
    GetParam().action(files_);
    FAIL() << "no failure";
  } catch (const Failure& f) {
    EXPECT_EQ(f.Description(), GetParam().description);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FileFailureTest,
    ::testing::Values(
        FailureCase{"copy_missing_source",
                    [](auto& f) { f.CopyFile("c:\\Temp\\VelaScan.ex_", "c:\\VelaScan.exe"); },
                    "File not found: c:\\Temp\\VelaScan.ex_"},
        FailureCase{"copy_into_missing_folder",
                    [](auto& f) { f.CopyFile("c:\\windows\\win.ini", "c:\\none\\win.ini"); },
                    "Path not found: c:\\none\\win.ini"},
        FailureCase{"delete_missing", [](auto& f) { f.RemoveFile("c:\\VelaScan.exe"); },
                    "File not found: c:\\VelaScan.exe"},
        FailureCase{"rename_onto_existing",
                    [](auto& f) { f.RenameFile("c:\\windows\\win.ini", "c:\\Program Files\\Vela Scan\\VelaScan.mdb"); },
                    "File already exists: c:\\Program Files\\Vela Scan\\VelaScan.mdb"},
        FailureCase{"open_missing", [](auto& f) { f.OpenForInput("c:\\snmpc\\mibfiles\\names.txt"); },
                    "File not found: c:\\snmpc\\mibfiles\\names.txt"},
        FailureCase{"unmapped_drive", [](auto& f) { f.OpenForInput("q:\\names.txt"); },
                    "Path not found: q:\\names.txt"},
        FailureCase{"open_a_pipe", [](auto& f) { f.OpenForInput("c:\\pipe"); }, "Path/File access error: c:\\pipe"},
        FailureCase{"create_over_a_pipe", [](auto& f) { f.CreateForOutput("c:\\pipe"); },
                    "Path/File access error: c:\\pipe"},
        FailureCase{"copy_from_a_pipe", [](auto& f) { f.CopyFile("c:\\pipe", "c:\\copy"); },
                    "Path/File access error: c:\\pipe"},
        FailureCase{"delete_a_running_program", [](auto& f) { f.RemoveFile("c:\\RUN.EXE"); },
                    "Permission denied: c:\\RUN.EXE"},
        FailureCase{"rename_a_running_program", [](auto& f) { f.RenameFile("c:\\run.exe", "c:\\old.exe"); },
                    "Permission denied: c:\\run.exe"},
        FailureCase{"copy_over_a_running_program",
                    [](auto& f) { f.CopyFile("c:\\windows\\win.ini", "c:\\run.exe"); },
                    "Permission denied: c:\\run.exe"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PosixFilesTest, RenameMovesAndNeverReplaces) {
  dir_.Write("snmpc/mibfiles/names.txt", "a\r\n");
  files_.RenameFile("c:\\snmpc\\mibfiles\\names.txt", "c:\\snmpc\\mibfiles\\names.bak");
  EXPECT_FALSE(files_.FileExists("c:\\snmpc\\mibfiles\\names.txt"));
  EXPECT_EQ(dir_.Read("snmpc/mibfiles/names.bak"), "a\r\n");
}

TEST_F(PosixFilesTest, OutputFileIsCreatedEmptyAndWritten) {
  dir_.Write("snmpc/mibfiles/names.txt", "old old old");
  LineWriter writer(files_.CreateForOutput("c:\\snmpc\\mibfiles\\names.txt"));
  writer.WriteLine("Ferrowin.mib");
  writer.Close();
  EXPECT_EQ(dir_.Read("snmpc/mibfiles/names.txt"), "Ferrowin.mib\r\n");
}

TEST(PosixSystem, CommandLineIsTheArgumentsJoinedWithBlanks) {
  posix::PosixSystem system({"-uninstall", "{A B}", ""});
  EXPECT_EQ(system.CommandLine(), "-uninstall {A B} ");
  EXPECT_EQ(posix::PosixSystem({}).CommandLine(), "");
}

struct WindirCase {
  const char* value;
  unsigned size;
  unsigned result;
  const char* written;
};

class WindowsDirectoryTest : public ::testing::TestWithParam<WindirCase> {};

TEST_P(WindowsDirectoryTest, ReturnsTheLengthOrTheSizeNeeded) {
  test::ScopedEnv windir("WINDIR", GetParam().value);
  posix::PosixSystem system({});
  std::string buffer(GetParam().size, ' ');
  EXPECT_EQ(system.GetWindowsDirectoryA(buffer.data(), GetParam().size), GetParam().result);
  EXPECT_EQ(buffer.substr(0, std::string(GetParam().written).size()), GetParam().written);
}

INSTANTIATE_TEST_SUITE_P(Cases, WindowsDirectoryTest,
                         ::testing::Values(WindirCase{nullptr, 250, 0, "  "}, WindirCase{"", 250, 0, "  "},
                                           WindirCase{"C:\\WINDOWS", 250, 10, "C:\\WINDOWS"},
                                           WindirCase{"C:\\WINDOWS", 10, 11, "   "}));

}  // namespace
}  // namespace vsu
