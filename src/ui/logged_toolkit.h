#pragma once
// A window toolkit that writes every change the program makes to its windows,
// and every button the user presses, to the transcript before passing it on
// to the backend that draws.

#include <memory>

#include "common/transcript.h"
#include "platform/views.h"

namespace vsu {

class LoggedToolkit : public WindowToolkit {
 public:
  LoggedToolkit(WindowToolkit& inner, Transcript& log) : inner_(inner), log_(log) {}
  TwipSize ScreenSize() override { return inner_.ScreenSize(); }
  void MsgBox(const std::string& text, int style, const std::string& title) override;
  std::unique_ptr<MainView> CreateMain() override;
  std::unique_ptr<EnterPathView> CreateEnterPath() override;
  std::unique_ptr<UpgradeView> CreateUpgrade() override;
  void DoEvents() override { inner_.DoEvents(); }
  // The report's items are in the transcript already, written by those who found them.
  void ShowReport(const std::string& title, const std::vector<std::string>& lines) override {
    inner_.ShowReport(title, lines);
  }

 private:
  WindowToolkit& inner_;
  Transcript& log_;
};

}  // namespace vsu
