#pragma once
// The window toolkit while the check runs the start-up's discovery: nothing
// is shown. A message box that would be shown is only recorded; a prompt is
// recorded and left as if closed without a button, so its caller goes on
// with what it had.

#include <memory>
#include <string>
#include <vector>

#include "platform/views.h"

namespace vsu {

class CheckToolkit : public WindowToolkit {
 public:
  explicit CheckToolkit(WindowToolkit& inner) : inner_(inner) {}
  TwipSize ScreenSize() override { return inner_.ScreenSize(); }
  void MsgBox(const std::string& text, int style, const std::string& title) override;
  std::unique_ptr<MainView> CreateMain() override { return inner_.CreateMain(); }
  std::unique_ptr<EnterPathView> CreateEnterPath() override;
  std::unique_ptr<UpgradeView> CreateUpgrade() override { return inner_.CreateUpgrade(); }
  void DoEvents() override {}
  void ShowReport(const std::string& title, const std::vector<std::string>& lines) override {
    inner_.ShowReport(title, lines);
  }

  // What would have been shown since the last call, each as a phrase
  // ("the prompt "..."", "the message "..." (title)"); forgets it.
  std::vector<std::string> TakeUnshown();
  void Record(std::string phrase) { unshown_.push_back(std::move(phrase)); }

 private:
  WindowToolkit& inner_;
  std::vector<std::string> unshown_;
};

}  // namespace vsu
