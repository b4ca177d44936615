#pragma once
// The terminal backend: the windows drawn as boxes of text on an ANSI terminal,
// keys read in raw mode. Enter presses the default button (OK, Exit/Done),
// Esc presses Cancel, Ctrl-C closes a window without pressing a button.

#include <memory>
#include <vector>

#include "platform/views.h"

namespace vsu {

class TerminalScreen;

class TerminalToolkit : public WindowToolkit {
 public:
  // Reads keys from inFd and draws on outFd; the terminal's mode is restored
  // when the toolkit is destroyed.
  TerminalToolkit(int inFd, int outFd);
  ~TerminalToolkit() override;
  TwipSize ScreenSize() override;
  void MsgBox(const std::string& text, int style, const std::string& title) override;
  std::unique_ptr<MainView> CreateMain() override;
  std::unique_ptr<EnterPathView> CreateEnterPath() override;
  std::unique_ptr<UpgradeView> CreateUpgrade() override;
  void DoEvents() override;
  // Printed below whatever was drawn, line by line, like the batch interface.
  void ShowReport(const std::string& title, const std::vector<std::string>& lines) override;

 private:
  std::unique_ptr<TerminalScreen> screen_;
};

}  // namespace vsu
