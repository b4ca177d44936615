#include "ui/batch/batch_toolkit.h"

#include "ui/layout.h"
#include "ui/text_views.h"

namespace vsu {
namespace {

class BatchMain : public TextMainView {
 public:
  explicit BatchMain(std::ostream& out) : out_(out) {}
  void ShowUntilClosed(MainHandlers& handlers) override {
    out_ << "[" << caption_ << "]\n" << PrintableText(layout::kText1) << std::flush;
    handlers.cmdExit_Click();
  }

 private:
  std::ostream& out_;
};

class BatchEnterPath : public TextEnterPathView {
 public:
  BatchEnterPath(std::istream& in, std::ostream& out) : in_(in), out_(out) {}
  void ShowModal(EnterPathHandlers& handlers) override {
    closed_ = false;
    while (!closed_) {
      out_ << "[" << caption_ << "] Path: " << std::flush;
      std::string line;
      if (!std::getline(in_, line)) {
        out_ << "(end of input: Cancel)\n" << std::flush;
        handlers.cmdCancel_Click();
        continue;
      }
      if (!line.empty() && line.back() == '\r') line.pop_back();
      out_ << line << "\n" << std::flush;
      txtName_ = line;
      handlers.cmdOK_Click();
    }
  }

 private:
  std::istream& in_;
  std::ostream& out_;
};

class BatchUpgrade : public TextUpgradeView {
 public:
  explicit BatchUpgrade(std::ostream& out) : out_(out) {}
  void SetTxtInfo(const std::string& text) override {
    TextUpgradeView::SetTxtInfo(text);
    out_ << "status: " << text << "\n" << std::flush;
  }
  void SetProgress(int value) override {
    TextUpgradeView::SetProgress(value);
    out_ << "progress: " << value << "/" << layout::kProgressMax << "\n" << std::flush;
  }
  void ShowModal(UpgradeHandlers& handlers) override {
    handlers.Form_Activate();
    if (exitEnabled_) {
      out_ << "[" << exitCaption_ << "]\n" << std::flush;
      handlers.cmdExit_Click();
    }
  }

 private:
  std::ostream& out_;
};

}  // namespace

std::string PrintableText(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
      out += '\n';
    } else {
      out += text[i];
    }
  }
  if (out.empty() || out.back() != '\n') out += '\n';
  return out;
}

TwipSize BatchToolkit::ScreenSize() { return layout::ScreenFromEnvironment(); }

void BatchToolkit::MsgBox(const std::string& text, int style, const std::string& title) {
  out_ << "--- " << title << " (" << style << ") ---\n" << PrintableText(text) << "[OK]\n" << std::flush;
}

std::unique_ptr<MainView> BatchToolkit::CreateMain() { return std::make_unique<BatchMain>(out_); }

std::unique_ptr<EnterPathView> BatchToolkit::CreateEnterPath() {
  return std::make_unique<BatchEnterPath>(in_, out_);
}

std::unique_ptr<UpgradeView> BatchToolkit::CreateUpgrade() { return std::make_unique<BatchUpgrade>(out_); }

void BatchToolkit::ShowReport(const std::string&, const std::vector<std::string>& lines) {
  for (const auto& line : lines) out_ << line << "\n";
  out_ << std::flush;
}

}  // namespace vsu
