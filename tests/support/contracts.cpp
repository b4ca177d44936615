#include "common/text_lines.h"
#include "support/files_contract.h"
#include "support/service_contract.h"

namespace vsu::test {

constexpr std::uint32_t kStopped = 1, kRunning = 4;

// A service missing, then access as opened, room for the configuration, the wrong state refused, deletion when stopped.
TEST_P(ServiceContract, AnswersThroughAServicesLife) {
  EXPECT_EQ(Refusal(Open(kServiceQueryStatusAccess) != 0), kErrorNoSuchService);
  backend_->Register();
  const ScHandle limited = Open(kServiceQueryStatusAccess | kServiceQueryConfigAccess);
  ASSERT_NE(limited, 0u) << scm_->GetLastError();
  ServiceStatusRecord status{};
  EXPECT_EQ(Refusal(scm_->ControlService(limited, kStopControl, &status)), kErrorAccessDenied);
  EXPECT_EQ(Refusal(scm_->StartServiceA(limited, 0, nullptr)), kErrorAccessDenied);
  std::vector<std::uint64_t> buffer(kServiceConfigRecordSize / 8 + 1);
  std::uint32_t needed = 0;
  EXPECT_EQ(Refusal(scm_->QueryServiceConfigA(limited, buffer.data(), kServiceConfigRecordSize, &needed)),
            kErrorBufferTooSmall);
  ASSERT_GT(needed, kServiceConfigRecordSize);
  buffer.resize(needed / 8 + 1);
  EXPECT_EQ(Refusal(scm_->QueryServiceConfigA(limited, buffer.data(), needed, &needed)), 0u);
  EXPECT_TRUE(scm_->CloseServiceHandle(limited));

  const ScHandle service = Open(kServiceAllAccess);
  ASSERT_NE(service, 0u) << scm_->GetLastError();
  EXPECT_EQ(State(), kStopped);
  EXPECT_EQ(Refusal(scm_->ControlService(service, kStopControl, &status)), kErrorServiceNotRunning);
  ASSERT_EQ(Refusal(scm_->StartServiceA(service, 0, nullptr)), 0u);
  ASSERT_TRUE(Reaches(kRunning));
  EXPECT_EQ(Refusal(scm_->StartServiceA(service, 0, nullptr)), kErrorServiceRunning);
  EXPECT_EQ(Refusal(scm_->ControlService(service, kStopControl, &status)), 0u);
  ASSERT_TRUE(Reaches(kStopped));
  ASSERT_EQ(Refusal(scm_->StartServiceA(service, 0, nullptr)), 0u);
  ASSERT_TRUE(Reaches(kRunning));
  EXPECT_TRUE(scm_->DeleteService(service));
  EXPECT_EQ(Refusal(scm_->DeleteService(service)), kErrorServiceMarkedForDeletion);
  EXPECT_EQ(Refusal(scm_->ControlService(service, kStopControl, &status)), 0u);
  EXPECT_TRUE(scm_->CloseServiceHandle(service));
  EXPECT_TRUE(Reaches(0));
  EXPECT_EQ(Refusal(Open(kServiceQueryStatusAccess) != 0), kErrorNoSuchService);
}

// Exists means an ordinary file, any case; copies replace to the byte, a rename never does; lines end in CR LF.
TEST_P(FilesContract, AnswersTheOrdinaryOperations) {
  Files& files = backend_->Port();
  const auto path = [&](const char* name) { return backend_->Path(name); };
  backend_->Write("sub/plain.txt", "x");
  EXPECT_TRUE(files.FileExists(path("sub/plain.txt")));
  EXPECT_TRUE(files.FileExists(path("SUB/PLAIN.TXT")));
  EXPECT_FALSE(files.FileExists(path("sub")));
  EXPECT_FALSE(files.FileExists(path("sub/missing.txt")));
  EXPECT_FALSE(files.FileExists(path("nowhere/plain.txt")));

  backend_->Write("Temp/a.ex_", "new");
  backend_->Write("a.exe", "older and longer");
  const auto copier = files.CreateFileCopier();
  copier->Copy(path("Temp/a.ex_"), path("a.exe"));
  copier->Copy(path("Temp/a.ex_"), path("b.exe"));
  EXPECT_EQ(backend_->Read("a.exe"), "new");
  EXPECT_EQ(backend_->Read("b.exe"), "new");
  files.RemoveFile(path("b.exe"));
  EXPECT_FALSE(files.FileExists(path("b.exe")));
  files.RenameFile(path("a.exe"), path("b.exe"));
  EXPECT_FALSE(files.FileExists(path("a.exe")));
  EXPECT_EQ(backend_->Read("b.exe"), "new");

  backend_->Write("mib/names.txt", "a much longer list than the new one");
  files.CreateFolder(path("mib"));
  files.CreateFolder(path("mib/new"));
  files.ProbeWritable(path("mib/names.txt"));
  files.ProbeWritable(path("mib/new/later.txt"));
  EXPECT_GT(files.FreeBytes(path("mib")), 0u);
  LineWriter out(files.CreateForOutput(path("mib/names.txt")));
  for (const char* line : {"one", "", "Ferrowin.mib"}) out.WriteLine(line);
  out.Close();
  EXPECT_EQ(backend_->Read("mib/names.txt"), "one\r\n\r\nFerrowin.mib\r\n");
  std::vector<std::string> lines;
  LineReader in(files.OpenForInput(path("mib/names.txt")));
  for (std::string line; in.ReadLine(line);) lines.push_back(line);
  EXPECT_EQ(lines, (std::vector<std::string>{"one", "", "Ferrowin.mib"}));
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
    const char* words;
    const char* path;  // the one the failure names
    std::function<void()> action;
  };
  const Row rows[] = {
      {"File not found", "x.ex_", [&] { copier->Copy(path("x.ex_"), path("x.exe")); }},
      {"Path not found", "no/x.exe", [&] { copier->Copy(path("a.ex_"), path("no/x.exe")); }},
      {"Permission denied", "run.exe", [&] { copier->Copy(path("a.ex_"), path("run.exe")); }},
      {"File not found", "x.exe", [&] { files.RemoveFile(path("x.exe")); }},
      {"Permission denied", "run.exe", [&] { files.RemoveFile(path("run.exe")); }},
      {"File already exists", "b.exe", [&] { files.RenameFile(path("a.ex_"), path("b.exe")); }},
      {"Permission denied", "run.exe", [&] { files.RenameFile(path("run.exe"), path("old.exe")); }},
      {"File not found", "x.txt", [&] { files.OpenForInput(path("x.txt")); }},
      {"Path not found", "no/x.txt", [&] { files.CreateForOutput(path("no/x.txt")); }},
      {"Permission denied", "run.exe", [&] { files.ProbeWritable(path("run.exe")); }},
      {"Path not found", "no/x.txt", [&] { files.ProbeWritable(path("no/x.txt")); }},
  };
  for (const Row& row : rows) {
    try {
      row.action();
      ADD_FAILURE() << "no failure: " << row.words << " " << row.path;
    } catch (const Failure& failure) {
      EXPECT_EQ(failure.Description(), std::string(row.words) + ": " + path(row.path));
    }
  }
  EXPECT_EQ(backend_->Read("run.exe"), held);
}

}  // namespace vsu::test
