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

TEST(Win32FilesExists, OrdinaryFilesOnly) {
  ScratchDir dir;
  Win32Files files;
  dir.Write("plain.txt", "x");
  SetFileAttributesA(dir.Write("hidden.txt", "x").c_str(), FILE_ATTRIBUTE_HIDDEN);
  SetFileAttributesA(dir.Write("system.txt", "x").c_str(), FILE_ATTRIBUTE_SYSTEM);
  SetFileAttributesA(dir.Write("readonly.txt", "x").c_str(), FILE_ATTRIBUTE_READONLY);
  dir.Write("sub\\inner.txt", "x");

  EXPECT_TRUE(files.FileExists(dir.Path("plain.txt")));
  EXPECT_TRUE(files.FileExists(dir.Path("PLAIN.TXT")));
  EXPECT_TRUE(files.FileExists(dir.Path("readonly.txt")));
  EXPECT_FALSE(files.FileExists(dir.Path("hidden.txt")));
  EXPECT_FALSE(files.FileExists(dir.Path("system.txt")));
  EXPECT_FALSE(files.FileExists(dir.Path("sub")));
  EXPECT_FALSE(files.FileExists(dir.Path("missing.txt")));
  EXPECT_FALSE(files.FileExists(dir.Path("nowhere\\missing.txt")));
  EXPECT_TRUE(files.FileExists(dir.Path() + "\\\\plain.txt"));
}

TEST(Win32Files, DeleteRenameAndCopy) {
  ScratchDir dir;
  Win32Files files;
  dir.Write("a.txt", "alpha");
  ComApartment com;
  const auto copier = files.CreateFileCopier();
  copier->Copy(dir.Path("a.txt"), dir.Path("b.txt"));
  EXPECT_EQ(dir.Read("b.txt"), "alpha");
  dir.Write("c.txt", "older and longer");
  copier->Copy(dir.Path("a.txt"), dir.Path("c.txt"));
  EXPECT_EQ(dir.Read("c.txt"), "alpha");

  EXPECT_THROW(files.RenameFile(dir.Path("a.txt"), dir.Path("b.txt")), Failure);
  files.RemoveFile(dir.Path("b.txt"));
  EXPECT_FALSE(files.FileExists(dir.Path("b.txt")));
  files.RenameFile(dir.Path("a.txt"), dir.Path("b.txt"));
  EXPECT_EQ(dir.Read("b.txt"), "alpha");
}

// Each failure reads as on Linux: the words for what went wrong, then the path.
struct FailureCase {
  const char* name;
  std::function<void(Win32Files&, FileCopier&, const ScratchDir&)> action;
  const char* words;
  const char* path;  // inside the scratch folder
};

class Win32FileFailures : public ::testing::TestWithParam<FailureCase> {};

TEST_P(Win32FileFailures, ReadAsOnEveryPlatform) {
  ScratchDir dir;
  dir.Write("a.ex_", "new");
  Win32Files files;
  ComApartment com;
  const auto copier = files.CreateFileCopier();
  const auto held = files.CreateForOutput(dir.Path("held.exe"));
  try {
    GetParam().action(files, *copier, dir);
    FAIL() << "no failure";
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.Description(), std::string(GetParam().words) + ": " + dir.Path(GetParam().path));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Win32FileFailures,
    ::testing::Values(
        FailureCase{"copy_of_a_missing_source",
                    [](auto&, auto& c, auto& d) { c.Copy(d.Path("missing.ex_"), d.Path("x.exe")); },
                    "File not found", "missing.ex_"},
        FailureCase{"copy_into_a_missing_folder",
                    [](auto&, auto& c, auto& d) { c.Copy(d.Path("a.ex_"), d.Path("nowhere\\x.exe")); },
                    "Path not found", "nowhere\\x.exe"},
        FailureCase{"copy_over_a_file_held_open",
                    [](auto&, auto& c, auto& d) { c.Copy(d.Path("a.ex_"), d.Path("held.exe")); },
                    "Permission denied", "held.exe"},
        FailureCase{"delete_of_a_missing_file", [](auto& f, auto&, auto& d) { f.RemoveFile(d.Path("x.txt")); },
                    "File not found", "x.txt"},
        FailureCase{"delete_of_a_file_held_open",
                    [](auto& f, auto&, auto& d) { f.RemoveFile(d.Path("held.exe")); }, "Permission denied",
                    "held.exe"},
        FailureCase{"read_of_a_missing_file", [](auto& f, auto&, auto& d) { f.OpenForInput(d.Path("x.txt")); },
                    "File not found", "x.txt"},
        FailureCase{"write_into_a_missing_folder",
                    [](auto& f, auto&, auto& d) { f.CreateForOutput(d.Path("nowhere\\x.txt")); },
                    "Path not found", "nowhere\\x.txt"}),
    test::CaseName{});

TEST(Win32Files, LinesRoundTrip) {
  ScratchDir dir;
  Win32Files files;
  {
    LineWriter out(files.CreateForOutput(dir.Path("names.txt")));
    out.WriteLine("one");
    out.WriteLine("");
    out.WriteLine("Ferrowin.mib");
    out.Close();
  }
  EXPECT_EQ(dir.Read("names.txt"), "one\r\n\r\nFerrowin.mib\r\n");
  LineReader in(files.OpenForInput(dir.Path("names.txt")));
  std::string line;
  std::vector<std::string> lines;
  while (in.ReadLine(line)) lines.push_back(line);
  EXPECT_EQ(lines, (std::vector<std::string>{"one", "", "Ferrowin.mib"}));
}

}  // namespace
}  // namespace vsu::win32
