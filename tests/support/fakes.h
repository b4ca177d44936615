#pragma once
// Fakes for unit tests: a scripted system, a virtual clock, a scripted window
// toolkit, and TestPlatform, which bundles them with the real files and
// database backends of the platform the tests run on and the fake service
// manager, process list, launcher and IP information.

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/transcript.h"
#include "platform/clock.h"
#include "platform/ip_info.h"
#include "platform/platform.h"
#include "platform/system.h"
#include "platform/views.h"
#include "support/fake_process_list.h"
#include "support/fake_service_manager.h"
#include "native_backends.h"
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
  std::map<std::string, std::string> environment;
  std::string EnvironmentValue(const std::string& name) override {
    return environment.count(name) ? environment.at(name) : "";
  }
};

// Counts sleeps instead of sleeping.
class FakeClock : public Clock {
 public:
  std::vector<unsigned> sleeps;
  void Sleep(unsigned milliseconds) override { sleeps.push_back(milliseconds); }
  unsigned long Total() const;
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

// A toolkit whose user follows a script. Every call is appended to trace, so
// tests can check the order in which the program drives its windows.
class ScriptedToolkit : public WindowToolkit {
 public:
  TwipSize screen{15360, 11520};
  std::deque<PathAnswer> answers;  // one per OK/Cancel press; running out presses Cancel
  std::vector<ShownMessage> messages;
  std::vector<std::string> trace;
  int doEvents = 0;
  // Whether the upgrade window's Exit button is pressed when the run has ended.
  bool pressExitAfterRun = true;
  // Runs while a message box is shown, to look at the state at that moment.
  std::function<void()> onMsgBox;

  TwipSize ScreenSize() override { return screen; }
  void MsgBox(const std::string& text, int style, const std::string& title) override;
  std::unique_ptr<MainView> CreateMain() override;
  std::unique_ptr<EnterPathView> CreateEnterPath() override;
  std::unique_ptr<UpgradeView> CreateUpgrade() override;
  void DoEvents() override { ++doEvents; }
  std::vector<std::string> reported;
  void ShowReport(const std::string&, const std::vector<std::string>& lines) override {
    reported.insert(reported.end(), lines.begin(), lines.end());
  }
};

// The address the IP-information control reports; counts its reads.
class FakeIpInfo : public IpInfo {
 public:
  std::string address = "192.0.2.7";
  int reads = 0;
  std::string LocalAddress() override {
    ++reads;
    return address;
  }
};

class TestPlatform {
 public:
  TestPlatform();
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

  // The same platform with other files.
  Platform WithFiles(Files& other) {
    return Platform{system, other, clock, ui, log, db, scm, processes, launcher, ip};
  }
  // The same platform with another process list.
  Platform With(ProcessList& other) {
    return Platform{system, files, clock, ui, log, db, scm, other, launcher, ip};
  }
  // The nominal milliseconds of every Pause so far, in order.
  std::vector<long> Pauses() const;
};

}  // namespace vsu::test
