#pragma once
// Raw-mode key input and whole-screen redraws for the terminal backend.

#include <termios.h>

#include <functional>
#include <string>
#include <vector>

namespace vsu {

enum class KeyKind { None, Enter, Escape, Backspace, ClearLine, Interrupt, EndOfInput, Char, Other };

struct Key {
  KeyKind kind = KeyKind::None;
  char ch = 0;
};

// One window on the screen: it appends its box to the frame being drawn, and
// may take a key that reaches it while the program waits (DoEvents).
class TerminalLayer {
 public:
  virtual ~TerminalLayer() = default;
  virtual void Draw(std::string& frame) = 0;
  virtual void KeyWhileBusy(const Key&) {}
};

class TerminalScreen {
 public:
  TerminalScreen(int inFd, int outFd);
  ~TerminalScreen();
  TerminalScreen(const TerminalScreen&) = delete;
  TerminalScreen& operator=(const TerminalScreen&) = delete;

  // Waits up to timeoutMs (-1: no limit) for a key.
  Key ReadKey(int timeoutMs);
  void Push(TerminalLayer* layer);
  void Pop(TerminalLayer* layer);
  void Redraw();
  // Hands waiting keys to the top window without blocking.
  void DispatchPendingKeys();
  // Writes plain text at the cursor.
  void Print(const std::string& text);

 private:
  int in_;
  int out_;
  bool raw_ = false;
  bool endOfInput_ = false;
  termios saved_{};
  std::vector<TerminalLayer*> layers_;
};

// Appends a box with a title and lines to frame.
void DrawBox(std::string& frame, const std::string& title, const std::vector<std::string>& lines);

// Keeps a layer on the screen for a scope.
class ShownLayer {
 public:
  ShownLayer(TerminalScreen& screen, TerminalLayer* layer) : screen_(screen), layer_(layer) {
    screen_.Push(layer_);
  }
  ~ShownLayer() { screen_.Pop(layer_); }
  ShownLayer(const ShownLayer&) = delete;
  ShownLayer& operator=(const ShownLayer&) = delete;

 private:
  TerminalScreen& screen_;
  TerminalLayer* layer_;
};

}  // namespace vsu
