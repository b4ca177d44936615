#include "ui/logged_toolkit.h"

namespace vsu {
namespace {

using Value = Transcript::Value;

// What every logged window shares: its name, its last position, and the
// caption/show/hide/click events.
template <typename Base>
class LoggedWindow : public Base {
 public:
  LoggedWindow(std::unique_ptr<Base> inner, Transcript& log, const char* name)
      : inner_(std::move(inner)), log_(log), name_(name) {}
  TwipSize OuterSize() override { return inner_->OuterSize(); }
  void Move(double left, double top) override {
    left_ = left;
    top_ = top;
    inner_->Move(left, top);
  }
  void SetCaption(const std::string& text) override {
    log_.Log("caption", {{"window", name_}, {"control", nullptr}, {"text", text}});
    inner_->SetCaption(text);
  }

 protected:
  void LogPlace(const char* event) {
    log_.Log(event, {{"window", name_},
                     {"left", static_cast<std::int64_t>(left_)},
                     {"top", static_cast<std::int64_t>(top_)}});
  }
  void LogControl(const char* event, const char* control, const char* key, Value value) {
    log_.Log(event, {{"window", name_}, {"control", control}, {key, value}});
  }
  void LogClick(const char* control) { log_.Log("click", {{"window", name_}, {"control", control}}); }

  std::unique_ptr<Base> inner_;
  Transcript& log_;
  const char* name_;
  double left_ = 0;
  double top_ = 0;
};

class LoggedMain : public LoggedWindow<MainView>, private MainHandlers {
 public:
  using LoggedWindow::LoggedWindow;
  void Hide() override {
    LogPlace("hide");
    inner_->Hide();
  }
  void ShowUntilClosed(MainHandlers& handlers) override {
    LogPlace("show");
    handlers_ = &handlers;
    inner_->ShowUntilClosed(*this);
  }

 private:
  void cmdExit_Click() override {
    LogClick("cmdExit");
    handlers_->cmdExit_Click();
  }
  MainHandlers* handlers_ = nullptr;
};

class LoggedEnterPath : public LoggedWindow<EnterPathView>, private EnterPathHandlers {
 public:
  using LoggedWindow::LoggedWindow;
  std::string Caption() override { return inner_->Caption(); }
  std::string TxtName() override { return inner_->TxtName(); }
  void SetTxtName(const std::string& text) override {
    LogControl("text", "txtName", "text", text);
    inner_->SetTxtName(text);
  }
  void ShowModal(EnterPathHandlers& handlers) override {
    const auto caption = inner_->Caption();
    log_.Log("prompt", {{"caption", caption}});
    LogPlace("show");
    handlers_ = &handlers;
    inner_->ShowModal(*this);
  }
  void Close() override { inner_->Close(); }

 private:
  void cmdOK_Click() override {
    const auto entry = inner_->TxtName();
    log_.Log("click", {{"window", name_}, {"control", "cmdOK"}, {"entry", entry}});
    handlers_->cmdOK_Click();
  }
  void cmdCancel_Click() override {
    LogClick("cmdCancel");
    handlers_->cmdCancel_Click();
  }
  EnterPathHandlers* handlers_ = nullptr;
};

class LoggedUpgrade : public LoggedWindow<UpgradeView>, private UpgradeHandlers {
 public:
  using LoggedWindow::LoggedWindow;
  void Refresh() override { inner_->Refresh(); }
  void SetTxtInfo(const std::string& text) override {
    LogControl("text", "txtInfo", "text", text);
    inner_->SetTxtInfo(text);
  }
  void SetProgress(int value) override {
    LogControl("progress", "pgbUpgrade", "value", value);
    inner_->SetProgress(value);
  }
  void SetExitEnabled(bool enabled) override {
    LogControl("enabled", "cmdExit", "value", enabled);
    inner_->SetExitEnabled(enabled);
  }
  bool ExitEnabled() override { return inner_->ExitEnabled(); }
  void SetExitCaption(const std::string& text) override {
    LogControl("caption", "cmdExit", "text", text);
    inner_->SetExitCaption(text);
  }
  std::uintptr_t NativeHandle() override { return inner_->NativeHandle(); }
  void ShowModal(UpgradeHandlers& handlers) override {
    LogPlace("show");
    handlers_ = &handlers;
    inner_->ShowModal(*this);
  }

 private:
  void Form_Activate() override { handlers_->Form_Activate(); }
  void cmdExit_Click() override {
    LogClick("cmdExit");
    handlers_->cmdExit_Click();
  }
  UpgradeHandlers* handlers_ = nullptr;
};

}  // namespace

void LoggedToolkit::MsgBox(const std::string& text, int style, const std::string& title) {
  log_.Log("msgbox", {{"text", text}, {"style", std::int64_t{style}}, {"title", title}});
  inner_.MsgBox(text, style, title);
}

std::unique_ptr<MainView> LoggedToolkit::CreateMain() {
  return std::make_unique<LoggedMain>(inner_.CreateMain(), log_, "frmMain");
}

std::unique_ptr<EnterPathView> LoggedToolkit::CreateEnterPath() {
  return std::make_unique<LoggedEnterPath>(inner_.CreateEnterPath(), log_, "frmEnterPath");
}

std::unique_ptr<UpgradeView> LoggedToolkit::CreateUpgrade() {
  return std::make_unique<LoggedUpgrade>(inner_.CreateUpgrade(), log_, "frmVelaScanUpg");
}

}  // namespace vsu
