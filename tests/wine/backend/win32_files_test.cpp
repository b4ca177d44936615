#include <gtest/gtest.h>

#include <functional>

#include "common/failure.h"
#include "common/text_lines.h"
#include "platform/win32/com_apartment.h"
#include "platform/win32/win32_files.h"
#include "support/case_name.h"
#include "support/scratch_dir.h"

namespace vsu::win32 {
namespace {

using test::ScratchDir;

// Only ordinary files exist for the program: not hidden, system or folders; names in any case.
TEST(Win32Files, ExistsForOrdinaryFilesOnly) {
  ScratchDir dir;
  Win32Files files;
  for (const auto& [name, attributes] : {std::pair{"plain.txt", FILE_ATTRIBUTE_NORMAL}, {"hidden.txt", FILE_ATTRIBUTE_HIDDEN},
                                         {"system.txt", FILE_ATTRIBUTE_SYSTEM}, {"readonly.txt", FILE_ATTRIBUTE_READONLY}}) {
    SetFileAttributesA(dir.Write(name, "x").c_str(), attributes);
  }
  dir.Write("sub\\inner.txt", "x");
  for (const auto& [name, exists] : {std::pair{"plain.txt", true}, {"PLAIN.TXT", true}, {"\\plain.txt", true},
                                     {"readonly.txt", true}, {"hidden.txt", false}, {"system.txt", false},
                                     {"sub", false}, {"missing.txt", false}, {"nowhere\\missing.txt", false}}) {
    EXPECT_EQ(files.FileExists(dir.Path() + "\\" + name), exists) << name;
  }
}

// The file-copy object replaces an older, longer file; lines go out and come back with CR LF.
TEST(Win32Files, CopiesOverAnOlderFile) {
  ScratchDir dir;
  Win32Files files;
  ComApartment com;
  LineWriter out(files.CreateForOutput(dir.Path("a.ex_")));
  out.WriteLine("new");
  out.Close();
  dir.Write("a.exe", "older and longer");
  files.CreateFileCopier()->Copy(dir.Path("a.ex_"), dir.Path("a.exe"));
  EXPECT_EQ(dir.Read("a.exe"), "new\r\n");
  std::string line;
  EXPECT_TRUE(LineReader(files.OpenForInput(dir.Path("a.exe"))).ReadLine(line));
  EXPECT_EQ(line, "new");
}

// Each failure reads as on Linux: the words for what went wrong, then the path.
struct FailureCase {
  const char* name;
  std::function<void(Win32Files&, const ScratchDir&)> action;
  const char* words;
  const char* path;  // inside the scratch folder
};

class Win32FileFailures : public ::testing::TestWithParam<FailureCase> {};

TEST_P(Win32FileFailures, ReadAsOnEveryPlatform) {
  ScratchDir dir;
  dir.Write("a.ex_", "new");
  Win32Files files;
  ComApartment com;
  const auto held = files.CreateForOutput(dir.Path("held.exe"));
  try {
    GetParam().action(files, dir);
    FAIL() << "no failure";
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.Description(), std::string(GetParam().words) + ": " + dir.Path(GetParam().path));
  }
}

void Copy(Win32Files& files, const ScratchDir& dir, const char* from, const char* to) {
  files.CreateFileCopier()->Copy(dir.Path(from), dir.Path(to));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Win32FileFailures,
    ::testing::Values(
        FailureCase{"copy_of_a_missing_source", [](auto& f, auto& d) { Copy(f, d, "x.ex_", "x.exe"); },
                    "File not found", "x.ex_"},
        FailureCase{"copy_into_a_missing_folder", [](auto& f, auto& d) { Copy(f, d, "a.ex_", "no\\x.exe"); },
                    "Path not found", "no\\x.exe"},
        FailureCase{"copy_over_a_file_held_open", [](auto& f, auto& d) { Copy(f, d, "a.ex_", "held.exe"); },
                    "Permission denied", "held.exe"},
        FailureCase{"delete_of_a_missing_file", [](auto& f, auto& d) { f.RemoveFile(d.Path("x.txt")); },
                    "File not found", "x.txt"},
        FailureCase{"delete_of_a_file_held_open", [](auto& f, auto& d) { f.RemoveFile(d.Path("held.exe")); },
                    "Permission denied", "held.exe"},
        FailureCase{"rename_onto_a_file", [](auto& f, auto& d) { f.RenameFile(d.Path("a.ex_"), d.Path("held.exe")); },
                    "File already exists", "a.ex_"},
        FailureCase{"read_of_a_missing_file", [](auto& f, auto& d) { f.OpenForInput(d.Path("x.txt")); },
                    "File not found", "x.txt"},
        FailureCase{"write_into_a_missing_folder", [](auto& f, auto& d) { f.CreateForOutput(d.Path("no\\x.txt")); },
                    "Path not found", "no\\x.txt"}),
    test::CaseName{});

}  // namespace
}  // namespace vsu::win32
