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
  backend_->Write("sub/plain.txt", "x");
  EXPECT_TRUE(files.FileExists(Path("sub/plain.txt")));
  EXPECT_TRUE(files.FileExists(Path("SUB/PLAIN.TXT")));
  EXPECT_FALSE(files.FileExists(Path("sub")));
  EXPECT_FALSE(files.FileExists(Path("sub/missing.txt")));
  EXPECT_FALSE(files.FileExists(Path("nowhere/plain.txt")));

  backend_->Write("Temp/a.ex_", "new");
  backend_->Write("a.exe", "older and longer");
  const auto copier = files.CreateFileCopier();
  copier->Copy(Path("Temp/a.ex_"), Path("a.exe"));
  copier->Copy(Path("Temp/a.ex_"), Path("b.exe"));
  EXPECT_EQ(backend_->Read("a.exe"), "new");
  EXPECT_EQ(backend_->Read("b.exe"), "new");
  files.RemoveFile(Path("b.exe"));
  EXPECT_FALSE(files.FileExists(Path("b.exe")));
  files.RenameFile(Path("a.exe"), Path("b.exe"));
  EXPECT_FALSE(files.FileExists(Path("a.exe")));
  EXPECT_EQ(backend_->Read("b.exe"), "new");

  backend_->Write("mib/names.txt", "a much longer list than the new one");
  files.CreateFolder(Path("mib"));
  files.CreateFolder(Path("mib/new"));
  files.ProbeWritable(Path("mib/names.txt"));
  files.ProbeWritable(Path("mib/new/later.txt"));
  EXPECT_GT(files.FreeBytes(Path("mib")), 0u);
  LineWriter out(files.CreateForOutput(Path("mib/names.txt")));
  for (const char* line : {"one", "", "Ferrowin.mib"}) out.WriteLine(line);
  out.Close();
  EXPECT_EQ(backend_->Read("mib/names.txt"), "one\r\n\r\nFerrowin.mib\r\n");
  std::vector<std::string> lines;
  LineReader in(files.OpenForInput(Path("mib/names.txt")));
  for (std::string line; in.ReadLine(line);) lines.push_back(line);
  EXPECT_EQ(lines, (std::vector<std::string>{"one", "", "Ferrowin.mib"}));
}

// Each failure gives the words for what went wrong, then the path concerned.
TEST_P(FilesContract, FailuresNameWhatAndWhere) {
  Files& files = backend_->Port();
  for (const char* name : {"a.ex_", "b.exe", "run.exe"}) backend_->Write(name, "old");
  backend_->HoldInUse("run.exe");
  const std::string held = backend_->Read("run.exe");
  const auto copier = files.CreateFileCopier();
  const std::tuple<const char*, const char*, std::function<void()>> rows[] = {  // the words, the path named, the call
      {"File not found", "x.ex_", [&] { copier->Copy(Path("x.ex_"), Path("x.exe")); }},
      {"Path not found", "no/x.exe", [&] { copier->Copy(Path("a.ex_"), Path("no/x.exe")); }},
      {"Permission denied", "run.exe", [&] { copier->Copy(Path("a.ex_"), Path("run.exe")); }},
      {"File not found", "x.exe", [&] { files.RemoveFile(Path("x.exe")); }},
      {"Permission denied", "run.exe", [&] { files.RemoveFile(Path("run.exe")); }},
      {"File already exists", "b.exe", [&] { files.RenameFile(Path("a.ex_"), Path("b.exe")); }},
      {"Permission denied", "run.exe", [&] { files.RenameFile(Path("run.exe"), Path("old.exe")); }},
      {"File not found", "x.txt", [&] { files.OpenForInput(Path("x.txt")); }},
      {"Path not found", "no/x.txt", [&] { files.CreateForOutput(Path("no/x.txt")); }},
      {"Permission denied", "run.exe", [&] { files.ProbeWritable(Path("run.exe")); }},
      {"Path not found", "no/x.txt", [&] { files.ProbeWritable(Path("no/x.txt")); }},
  };
  for (const auto& [words, named, action] : rows) {
    try {
      action();
      ADD_FAILURE() << "no failure: " << words << " " << named;
    } catch (const Failure& failure) {
      EXPECT_EQ(failure.Description(), std::string(words) + ": " + Path(named));
    }
  }
  EXPECT_EQ(backend_->Read("run.exe"), held);
}

}  // namespace vsu::test
