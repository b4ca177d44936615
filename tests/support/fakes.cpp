#include "support/fakes.h"

#include "support/json_lines.h"
#include "ui/layout.h"

namespace vsu::test {

namespace {

template <typename Base>
class ScriptedWindow : public Base {
 public:
  ScriptedWindow(ScriptedToolkit& kit, std::string name, TwipSize client)
      : kit_(kit), name_(std::move(name)), client_(client) {}
  TwipSize OuterSize() override { return layout::OuterSize(client_); }
  void Move(double left, double top) override {
    Trace("Move " + std::to_string(static_cast<long>(left)) + "," + std::to_string(static_cast<long>(top)));
  }
  void SetCaption(const std::string& text) override { Trace("Caption " + (caption_ = text)); }

 protected:
  void Trace(const std::string& what) { kit_.trace.push_back(name_ + "." + what); }
  ScriptedToolkit& kit_;
  std::string name_;
  TwipSize client_;
  std::string caption_;
};

class ScriptedMain : public ScriptedWindow<MainView> {
 public:
  explicit ScriptedMain(ScriptedToolkit& kit) : ScriptedWindow(kit, "frmMain", layout::kMainClient) {}
  void Hide() override { Trace("Hide"); }
  void ShowUntilClosed(MainHandlers& handlers) override { Trace("Show"), handlers.cmdExit_Click(); }
};

class ScriptedEnterPath : public ScriptedWindow<EnterPathView> {
 public:
  explicit ScriptedEnterPath(ScriptedToolkit& kit) : ScriptedWindow(kit, "frmEnterPath", layout::kEnterPathClient) {}
  std::string Caption() override { return caption_; }
  std::string TxtName() override { return txtName_; }
  void SetTxtName(const std::string& text) override { Trace("txtName " + (txtName_ = text)); }
  void Close() override { closed_ = true, Trace("Close"); }
  void ShowModal(EnterPathHandlers& handlers) override {
    Trace("ShowModal");
    while (!closed_) {
      const PathAnswer answer = kit_.answers.empty() ? PathAnswer::Cancel() : kit_.answers.front();
      if (!kit_.answers.empty()) kit_.answers.pop_front();
      if (answer.kind == PathAnswer::kCloseWindow) return Trace("Closed by the user");
      if (answer.kind == PathAnswer::kCancel) {
        handlers.cmdCancel_Click();
      } else {
        txtName_ = answer.entry;
        handlers.cmdOK_Click();
      }
    }
  }

 private:
  std::string txtName_;
  bool closed_ = false;
};

class ScriptedUpgrade : public ScriptedWindow<UpgradeView> {
 public:
  explicit ScriptedUpgrade(ScriptedToolkit& kit) : ScriptedWindow(kit, "frmVelaScanUpg", layout::kUpgradeClient) {}
  void Refresh() override { Trace("Refresh"); }
  void SetTxtInfo(const std::string& text) override { Trace("txtInfo " + text); }
  void SetProgress(int value) override { Trace("progress " + std::to_string(value)); }
  void SetExitEnabled(bool enabled) override {
    exitEnabled_ = enabled;
    Trace(enabled ? "cmdExit enabled" : "cmdExit disabled");
  }
  bool ExitEnabled() override { return exitEnabled_; }
  void SetExitCaption(const std::string& text) override { Trace("cmdExit caption " + text); }
  std::uintptr_t NativeHandle() override { return 0x1234; }
  void ShowModal(UpgradeHandlers& handlers) override {
    Trace("ShowModal");
    handlers.Form_Activate();
    if (exitEnabled_) handlers.cmdExit_Click();
  }

 private:
  bool exitEnabled_ = true;
};

}  // namespace

std::unique_ptr<MainView> ScriptedToolkit::CreateMain() { return std::make_unique<ScriptedMain>(*this); }
std::unique_ptr<EnterPathView> ScriptedToolkit::CreateEnterPath() { return std::make_unique<ScriptedEnterPath>(*this); }
std::unique_ptr<UpgradeView> ScriptedToolkit::CreateUpgrade() { return std::make_unique<ScriptedUpgrade>(*this); }

std::vector<long> TestPlatform::Pauses() const {
  std::vector<long> pauses;
  for (const auto& event : ParseTranscript(logLines)) {
    if (event.name() == "pause") pauses.push_back(event.Num("ms"));
  }
  return pauses;
}

}  // namespace vsu::test
