#include "support/files_contract.h"

#include <vector>

#include "common/failure.h"
#include "common/text_lines.h"

namespace vsu::test {

TEST_P(FilesContract, ExistsForOrdinaryFilesOnly) {
  backend_->Write("sub/plain.txt", "x");
  Files& files = backend_->Port();
  EXPECT_TRUE(files.FileExists(backend_->Path("sub/plain.txt")));
  EXPECT_TRUE(files.FileExists(backend_->Path("SUB/PLAIN.TXT")));
  EXPECT_FALSE(files.FileExists(backend_->Path("sub")));
  EXPECT_FALSE(files.FileExists(backend_->Path("sub/missing.txt")));
  EXPECT_FALSE(files.FileExists(backend_->Path("nowhere/plain.txt")));
}

// Copies replace whatever was there, to the byte; a rename never replaces.
TEST_P(FilesContract, CopiesReplaceRenamesMove) {
  Files& files = backend_->Port();
  backend_->Write("Temp/a.ex_", "new");
  backend_->Write("a.exe", "older and longer");
  const auto copier = files.CreateFileCopier();
  copier->Copy(backend_->Path("Temp/a.ex_"), backend_->Path("a.exe"));
  copier->Copy(backend_->Path("Temp/a.ex_"), backend_->Path("b.exe"));
  EXPECT_EQ(backend_->Read("a.exe"), "new");
  EXPECT_EQ(backend_->Read("b.exe"), "new");
  files.RemoveFile(backend_->Path("b.exe"));
  EXPECT_FALSE(files.FileExists(backend_->Path("b.exe")));
  files.RenameFile(backend_->Path("a.exe"), backend_->Path("b.exe"));
  EXPECT_FALSE(files.FileExists(backend_->Path("a.exe")));
  EXPECT_EQ(backend_->Read("b.exe"), "new");
}

// Lines end in CR LF on every platform; a new output file starts empty.
TEST_P(FilesContract, LinesFoldersAndRoom) {
  Files& files = backend_->Port();
  backend_->Write("mib/names.txt", "a much longer list than the new one");
  files.CreateFolder(backend_->Path("mib"));
  files.CreateFolder(backend_->Path("mib/new"));
  {
    LineWriter out(files.CreateForOutput(backend_->Path("mib/names.txt")));
    for (const char* line : {"one", "", "Ferrowin.mib"}) out.WriteLine(line);
    out.Close();
  }
  EXPECT_EQ(backend_->Read("mib/names.txt"), "one\r\n\r\nFerrowin.mib\r\n");
  std::vector<std::string> lines;
  {
    LineReader in(files.OpenForInput(backend_->Path("mib/names.txt")));
    for (std::string line; in.ReadLine(line);) lines.push_back(line);
  }
  EXPECT_EQ(lines, (std::vector<std::string>{"one", "", "Ferrowin.mib"}));
  files.ProbeWritable(backend_->Path("mib/names.txt"));
  files.ProbeWritable(backend_->Path("mib/new/later.txt"));
  EXPECT_GT(files.FreeBytes(backend_->Path("mib")), 0u);
}

// Each failure gives the words for what went wrong, then the path concerned.
TEST_P(FilesContract, FailuresNameWhatAndWhere) {
  Files& files = backend_->Port();
  backend_->Write("a.ex_", "new");
  backend_->Write("b.exe", "old");
  backend_->Write("run.exe", "old");
  backend_->HoldInUse("run.exe");
  const std::string held = backend_->Read("run.exe");
  const auto copier = files.CreateFileCopier();
  const auto path = [&](const char* name) { return backend_->Path(name); };
  struct Row {
    const char* name;
    std::function<void()> action;
    const char* words;
    const char* path;
  };
  const Row rows[] = {
      {"copy of a missing source", [&] { copier->Copy(path("x.ex_"), path("x.exe")); }, "File not found", "x.ex_"},
      {"copy into a missing folder", [&] { copier->Copy(path("a.ex_"), path("no/x.exe")); }, "Path not found",
       "no/x.exe"},
      {"copy over a file in use", [&] { copier->Copy(path("a.ex_"), path("run.exe")); }, "Permission denied",
       "run.exe"},
      {"delete of a missing file", [&] { files.RemoveFile(path("x.exe")); }, "File not found", "x.exe"},
      {"delete of a file in use", [&] { files.RemoveFile(path("run.exe")); }, "Permission denied", "run.exe"},
      {"rename onto a file", [&] { files.RenameFile(path("a.ex_"), path("b.exe")); }, "File already exists",
       "b.exe"},
      {"rename of a file in use", [&] { files.RenameFile(path("run.exe"), path("old.exe")); }, "Permission denied",
       "run.exe"},
      {"read of a missing file", [&] { files.OpenForInput(path("x.txt")); }, "File not found", "x.txt"},
      {"write into a missing folder", [&] { files.CreateForOutput(path("no/x.txt")); }, "Path not found",
       "no/x.txt"},
      {"probe of a file in use", [&] { files.ProbeWritable(path("run.exe")); }, "Permission denied", "run.exe"},
      {"probe in a missing folder", [&] { files.ProbeWritable(path("no/x.txt")); }, "Path not found", "no/x.txt"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    try {
      row.action();
      ADD_FAILURE() << "no failure";
    } catch (const Failure& failure) {
      EXPECT_EQ(failure.Description(), std::string(row.words) + ": " + path(row.path));
    }
  }
  EXPECT_EQ(backend_->Read("run.exe"), held);
}

}  // namespace vsu::test
