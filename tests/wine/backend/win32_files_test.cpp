#include <gtest/gtest.h>

#include "common/failure.h"
#include "common/text_lines.h"
#include "platform/win32/win32_files.h"
#include "support/scratch_dir.h"

// windows.h renames these two; the port's own names are meant here.
#undef DeleteFile
#undef CopyFile

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
  files.CopyFile(dir.Path("a.txt"), dir.Path("b.txt"));
  EXPECT_EQ(dir.Read("b.txt"), "alpha");
  dir.Write("c.txt", "older and longer");
  files.CopyFile(dir.Path("a.txt"), dir.Path("c.txt"));
  EXPECT_EQ(dir.Read("c.txt"), "alpha");

  EXPECT_THROW(files.RenameFile(dir.Path("a.txt"), dir.Path("b.txt")), Failure);
  files.DeleteFile(dir.Path("b.txt"));
  EXPECT_FALSE(files.FileExists(dir.Path("b.txt")));
  files.RenameFile(dir.Path("a.txt"), dir.Path("b.txt"));
  EXPECT_EQ(dir.Read("b.txt"), "alpha");
}

TEST(Win32Files, FailuresCarryTheSystemsDescriptionAndThePath) {
  ScratchDir dir;
  Win32Files files;
  try {
    files.CopyFile(dir.Path("missing.ex_"), dir.Path("x.exe"));
    FAIL() << "copy of a missing file succeeded";
  } catch (const Failure& failure) {
    EXPECT_NE(failure.Description().find(dir.Path("missing.ex_")), std::string::npos) << failure.Description();
    EXPECT_GT(failure.Description().find(':'), 0u);
  }
  EXPECT_THROW(files.DeleteFile(dir.Path("missing.txt")), Failure);
  EXPECT_THROW(files.OpenForInput(dir.Path("missing.txt")), Failure);
  EXPECT_THROW(files.CreateForOutput(dir.Path("nowhere\\x.txt")), Failure);
}

TEST(Win32Files, OpenFileKeepsItFromBeingDeleted) {
  ScratchDir dir;
  Win32Files files;
  dir.Write("held.txt", "x");
  const auto held = files.CreateForOutput(dir.Path("held.txt"));
  EXPECT_THROW(files.DeleteFile(dir.Path("held.txt")), Failure);
}

TEST(Win32Files, LinesRoundTrip) {
  ScratchDir dir;
  Win32Files files;
  {
    auto out = CreateLines(files, dir.Path("names.txt"));
    out.WriteLine("one");
    out.WriteLine("");
    out.WriteLine("Ferrowin.mib");
    out.Close();
  }
  EXPECT_EQ(dir.Read("names.txt"), "one\r\n\r\nFerrowin.mib\r\n");
  auto in = OpenLines(files, dir.Path("names.txt"));
  std::string line;
  std::vector<std::string> lines;
  while (in.ReadLine(line)) lines.push_back(line);
  EXPECT_EQ(lines, (std::vector<std::string>{"one", "", "Ferrowin.mib"}));
}

}  // namespace
}  // namespace vsu::win32
