#include "ui/terminal/terminal_toolkit.h"

#include "ui/batch/batch_toolkit.h"
#include "ui/layout.h"
#include "ui/terminal/terminal_screen.h"
#include "ui/text_views.h"

namespace vsu {
namespace {

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string printable = PrintableText(text);
  std::size_t start = 0;
  for (std::size_t nl; (nl = printable.find('\n', start)) != std::string::npos; start = nl + 1) {
    lines.push_back(printable.substr(start, nl - start));
  }
  return lines;
}

std::string Button(const std::string& caption, bool enabled) {
  return enabled ? "[ " + caption + " ]" : "( " + caption + " )";
}

class MessageLayer : public TerminalLayer {
 public:
  MessageLayer(const std::string& text, int style, const std::string& title)
      : text_(text), style_(style), title_(title) {}
  void Draw(std::string& frame) override {
    const char* icon = style_ == 16 ? "(X) " : style_ == 48 ? "(!) " : style_ == 64 ? "(i) " : "";
    auto lines = SplitLines(text_);
    if (!lines.empty()) lines.front() = icon + lines.front();
    lines.push_back("");
    lines.push_back("            [ OK ]   (Enter)");
    DrawBox(frame, title_, lines);
  }

 private:
  std::string text_;
  int style_;
  std::string title_;
};

class TerminalMain : public TextMainView, public TerminalLayer {
 public:
  explicit TerminalMain(TerminalScreen& screen) : screen_(screen) {}
  void Draw(std::string& frame) override {
    auto lines = SplitLines(layout::kText1);
    lines.push_back("");
    lines.push_back("              " + Button(layout::kExitCaption, true) + "   (Enter)");
    DrawBox(frame, caption_, lines);
  }
  void ShowUntilClosed(MainHandlers& handlers) override {
    ShownLayer shown(screen_, this);
    for (;;) {
      const Key key = screen_.ReadKey(-1);
      if (key.kind == KeyKind::Enter) handlers.cmdExit_Click();
      if (key.kind == KeyKind::Interrupt || key.kind == KeyKind::EndOfInput) return;
    }
  }

 private:
  TerminalScreen& screen_;
};

class TerminalEnterPath : public TextEnterPathView, public TerminalLayer {
 public:
  explicit TerminalEnterPath(TerminalScreen& screen) : screen_(screen) {}
  void Draw(std::string& frame) override {
    DrawBox(frame, caption_,
            {"", "Path: " + txtName_ + "_", "", "          [ OK ] (Enter)    [ Cancel ] (Esc)"});
  }
  void ShowModal(EnterPathHandlers& handlers) override {
    closed_ = false;
    ShownLayer shown(screen_, this);
    while (!closed_) {
      const Key key = screen_.ReadKey(-1);
      switch (key.kind) {
        case KeyKind::Char: txtName_ += key.ch; break;
        case KeyKind::Backspace:
          if (!txtName_.empty()) txtName_.pop_back();
          break;
        case KeyKind::ClearLine: txtName_.clear(); break;
        case KeyKind::Enter: handlers.cmdOK_Click(); break;
        case KeyKind::Escape: handlers.cmdCancel_Click(); break;
        case KeyKind::Interrupt:
        case KeyKind::EndOfInput: return;  // closed without a button
        default: break;
      }
      screen_.Redraw();
    }
  }

 protected:
  void Changed() override { screen_.Redraw(); }

 private:
  TerminalScreen& screen_;
};

class TerminalUpgrade : public TextUpgradeView, public TerminalLayer {
 public:
  explicit TerminalUpgrade(TerminalScreen& screen) : screen_(screen) {}
  void Draw(std::string& frame) override {
    constexpr int kBarWidth = 40;
    const int filled = progress_ * kBarWidth / layout::kProgressMax;
    std::string bar = "[";
    bar.append(filled, '#').append(kBarWidth - filled, '.').append("] ");
    bar.append(std::to_string(progress_)).append("/").append(std::to_string(layout::kProgressMax));
    DrawBox(frame, caption_,
            {"", txtInfo_, "", bar,
             "", "              " + Button(exitCaption_, exitEnabled_) + (exitEnabled_ ? "   (Enter)" : "")});
  }
  void KeyWhileBusy(const Key& key) override {
    if (key.kind == KeyKind::Enter && exitEnabled_ && handlers_) handlers_->cmdExit_Click();
  }
  void ShowModal(UpgradeHandlers& handlers) override {
    handlers_ = &handlers;
    ShownLayer shown(screen_, this);
    handlers.Form_Activate();
    for (;;) {
      const Key key = screen_.ReadKey(-1);
      if (key.kind == KeyKind::Enter && exitEnabled_) handlers.cmdExit_Click();
      if (key.kind == KeyKind::Interrupt || key.kind == KeyKind::EndOfInput) return;
    }
  }

 protected:
  void Changed() override { screen_.Redraw(); }

 private:
  TerminalScreen& screen_;
  UpgradeHandlers* handlers_ = nullptr;
};

}  // namespace

TerminalToolkit::TerminalToolkit(int inFd, int outFd)
    : screen_(std::make_unique<TerminalScreen>(inFd, outFd)) {}

TerminalToolkit::~TerminalToolkit() = default;

TwipSize TerminalToolkit::ScreenSize() { return layout::ScreenFromEnvironment(); }

void TerminalToolkit::MsgBox(const std::string& text, int style, const std::string& title) {
  MessageLayer layer(text, style, title);
  ShownLayer shown(*screen_, &layer);
  for (;;) {
    const Key key = screen_->ReadKey(-1);
    switch (key.kind) {
      case KeyKind::Enter:
      case KeyKind::Escape:
      case KeyKind::Interrupt:
      case KeyKind::EndOfInput: return;
      case KeyKind::Char:
        if (key.ch == ' ') return;
        break;
      default: break;
    }
  }
}

std::unique_ptr<MainView> TerminalToolkit::CreateMain() { return std::make_unique<TerminalMain>(*screen_); }

std::unique_ptr<EnterPathView> TerminalToolkit::CreateEnterPath() {
  return std::make_unique<TerminalEnterPath>(*screen_);
}

std::unique_ptr<UpgradeView> TerminalToolkit::CreateUpgrade() {
  return std::make_unique<TerminalUpgrade>(*screen_);
}

void TerminalToolkit::DoEvents() { screen_->DispatchPendingKeys(); }

void TerminalToolkit::ShowReport(const std::string&, const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& line : lines) text += line + "\n";
  screen_->Print(text);
}

}  // namespace vsu
