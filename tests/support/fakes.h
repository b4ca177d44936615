#pragma once
// Fakes for unit tests; TestPlatform bundles them with the real files and database backends.

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/transcript.h"
#include "native_backends.h"
#include "platform/clock.h"
#include "platform/ip_info.h"
#include "platform/platform.h"
#include "platform/system.h"
#include "platform/views.h"
#include "support/fake_process_list.h"
#include "support/fake_service_manager.h"
#include "support/recording_launcher.h"

namespace vsu::test {

class FakeSystem : public System {
 public:
  std::string commandLine;
  std::string ownDirectory = "/opt/velascan";
  std::optional<std::string> windowsDirectory;
  std::vector<std::string> currentDirectories;
  bool failSetCurrentDirectory = false;

  std::string CommandLine() override { return commandLine; }
  std::string OwnDirectory() override { return ownDirectory; }
  void ChangeDirectory(const std::string& path) override;
  unsigned GetWindowsDirectoryA(char* buffer, unsigned size) override;
  std::string EnvironmentValue(const std::string&) override { return ""; }
};

// Counts sleeps instead of sleeping.
class FakeClock : public Clock {
 public:
  std::vector<unsigned> sleeps;
  void Sleep(unsigned milliseconds) override { sleeps.push_back(milliseconds); }
};

// What the user does at one showing of the Enter Path dialog.
struct PathAnswer {
  enum Kind { kOk, kCancel, kCloseWindow } kind = kOk;
  std::string entry;
  static PathAnswer Ok(std::string text) { return {kOk, std::move(text)}; }
  static PathAnswer Cancel() { return {kCancel, {}}; }
  static PathAnswer CloseWindow() { return {kCloseWindow, {}}; }
};

struct ShownMessage {
  std::string text;
  int style;
  std::string title;
  bool operator==(const ShownMessage&) const = default;
};

// A toolkit whose user follows a script; every call is traced, and Exit is pressed once the run enables it.
class ScriptedToolkit : public WindowToolkit {
 public:
  TwipSize screen{15360, 11520};
  std::deque<PathAnswer> answers;  // one per OK/Cancel press; running out presses Cancel
  std::vector<ShownMessage> messages;
  std::vector<std::string> trace;
  int doEvents = 0;
  std::function<void()> onMsgBox;  // runs while a message box is shown

  TwipSize ScreenSize() override { return screen; }
  void MsgBox(const std::string& text, int style, const std::string& title) override;
  std::unique_ptr<MainView> CreateMain() override;
  std::unique_ptr<EnterPathView> CreateEnterPath() override;
  std::unique_ptr<UpgradeView> CreateUpgrade() override;
  void DoEvents() override { ++doEvents; }
  void ShowReport(const std::string&, const std::vector<std::string>&) override {}
  // The entries of trace that begin with prefix, without it.
  std::vector<std::string> Traced(const std::string& prefix) const;
};

// The address the IP-information control reports.
class FakeIpInfo : public IpInfo {
 public:
  std::string address = "192.0.2.7";
  FaultCountdown* countdown = nullptr;  // when set, its due read throws
  std::string LocalAddress() override {
    if (countdown) countdown->Throw("ipInfo");
    return address;
  }
};

class TestPlatform {
 public:
  FakeSystem system;
  NativeFiles files;
  FakeClock clock;
  ScriptedToolkit ui;
  std::vector<std::string> logLines;
  Transcript log{[this](const std::string& line) { logLines.push_back(line); }};
  NativeDatabase db;
  FakeServiceManager scm;
  FakeProcessList processes;
  RecordingLauncher launcher;
  FakeIpInfo ip;
  Platform platform{system, files, clock, ui, log, db, scm, processes, launcher, ip};

  // The same platform with other files, or another process list.
  Platform WithFiles(Files& other) { return {system, other, clock, ui, log, db, scm, processes, launcher, ip}; }
  Platform With(ProcessList& other) { return {system, files, clock, ui, log, db, scm, other, launcher, ip}; }
  // The nominal milliseconds of every Pause so far, in order.
  std::vector<long> Pauses() const;
};

}  // namespace vsu::test
