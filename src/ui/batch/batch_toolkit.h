#pragma once
// The batch backend: nothing is drawn; message boxes and status changes are
// printed, every message box is answered OK, each Enter Path prompt reads one
// line of input as the entry and presses OK (end of input presses Cancel), and
// the upgrade window's Exit button is pressed once the run has ended.

#include <istream>
#include <ostream>

#include "platform/views.h"

namespace vsu {

class BatchToolkit : public WindowToolkit {
 public:
  BatchToolkit(std::istream& in, std::ostream& out) : in_(in), out_(out) {}
  TwipSize ScreenSize() override;
  void MsgBox(const std::string& text, int style, const std::string& title) override;
  std::unique_ptr<MainView> CreateMain() override;
  std::unique_ptr<EnterPathView> CreateEnterPath() override;
  std::unique_ptr<UpgradeView> CreateUpgrade() override;
  void DoEvents() override {}
  // The lines alone, so that a script reads one finding per line.
  void ShowReport(const std::string& title, const std::vector<std::string>& lines) override;

 private:
  std::istream& in_;
  std::ostream& out_;
};

// Message-box text as one block of output lines (CR LF and lone CR or LF become
// line breaks).
std::string PrintableText(const std::string& text);

}  // namespace vsu
