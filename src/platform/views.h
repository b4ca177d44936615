#pragma once
// The window toolkit as the program uses it. The program's window logic lives
// in the core and drives these views; a backend only draws them and turns the
// user's actions into calls of the handlers it is given. Positions and sizes are
// twips. A handler may throw EndProgram; backends let it pass.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vsu {

struct TwipSize {
  double width = 0;
  double height = 0;
};

// A window's place and size, what every window of the program has.
class WindowView {
 public:
  virtual ~WindowView() = default;
  // Outer size, border and caption included.
  virtual TwipSize OuterSize() = 0;
  virtual void Move(double left, double top) = 0;
  virtual void SetCaption(const std::string& text) = 0;
};

class MainHandlers {
 public:
  virtual ~MainHandlers() = default;
  virtual void cmdExit_Click() = 0;
};

// frmMain: the hidden start-up window, shown only when the upgrade window
// was closed some other way than by its Exit button.
class MainView : public WindowView {
 public:
  virtual void Hide() = 0;
  // Shows the window with Text1 and Exit; returns when the user closed it
  // without pressing Exit.
  virtual void ShowUntilClosed(MainHandlers& handlers) = 0;
};

class EnterPathHandlers {
 public:
  virtual ~EnterPathHandlers() = default;
  virtual void cmdOK_Click() = 0;
  virtual void cmdCancel_Click() = 0;
};

// frmEnterPath: one view per showing, so txtName starts empty each time.
class EnterPathView : public WindowView {
 public:
  virtual std::string Caption() = 0;
  virtual std::string TxtName() = 0;
  virtual void SetTxtName(const std::string& text) = 0;
  // Shows the dialog modally; returns when a handler called Close or the user
  // left the dialog another way (then no handler ran).
  virtual void ShowModal(EnterPathHandlers& handlers) = 0;
  virtual void Close() = 0;
};

class UpgradeHandlers {
 public:
  virtual ~UpgradeHandlers() = default;
  virtual void Form_Activate() = 0;
  virtual void cmdExit_Click() = 0;
};

// frmVelaScanUpg: status line, progress bar 0..10 and the Exit/Done button.
class UpgradeView : public WindowView {
 public:
  virtual void Refresh() = 0;
  virtual void SetTxtInfo(const std::string& text) = 0;
  virtual void SetProgress(int value) = 0;
  virtual void SetExitEnabled(bool enabled) = 0;
  virtual bool ExitEnabled() = 0;
  virtual void SetExitCaption(const std::string& text) = 0;
  // The native window handle (owner of the service installer launch); 0 where none.
  virtual std::uintptr_t NativeHandle() = 0;
  // Shows the window modally: activation runs Form_Activate once; returns when
  // the window was closed another way than by cmdExit.
  virtual void ShowModal(UpgradeHandlers& handlers) = 0;
};

// Message box styles: OK only, with the critical-stop, exclamation or
// information icon.
inline constexpr int kMsgBoxCritical = 16;
inline constexpr int kMsgBoxExclamation = 48;
inline constexpr int kMsgBoxInformation = 64;

class WindowToolkit {
 public:
  virtual ~WindowToolkit() = default;
  virtual TwipSize ScreenSize() = 0;
  // A modal message box with an OK button only; returns when OK was pressed.
  virtual void MsgBox(const std::string& text, int style, const std::string& title) = 0;
  virtual std::unique_ptr<MainView> CreateMain() = 0;
  virtual std::unique_ptr<EnterPathView> CreateEnterPath() = 0;
  virtual std::unique_ptr<UpgradeView> CreateUpgrade() = 0;
  // One pass of the message loop: handles what waits, returns at once.
  virtual void DoEvents() = 0;
  // Shows a report of one line per item when no window is open: printed line
  // for line where the interface is text, on the console the program was
  // started from or in one box where it has windows.
  virtual void ShowReport(const std::string& title, const std::vector<std::string>& lines) = 0;
};

}  // namespace vsu
