#include "safety/check_toolkit.h"

#include <utility>

namespace vsu {
namespace {

class UnshownEnterPath : public EnterPathView {
 public:
  explicit UnshownEnterPath(CheckToolkit& kit) : kit_(kit) {}
  TwipSize OuterSize() override { return {}; }
  void Move(double, double) override {}
  void SetCaption(const std::string& text) override { caption_ = text; }
  std::string Caption() override { return caption_; }
  std::string TxtName() override { return ""; }
  void SetTxtName(const std::string&) override {}
  void ShowModal(EnterPathHandlers&) override { kit_.Record("the prompt \"" + caption_ + "\""); }
  void Close() override {}

 private:
  CheckToolkit& kit_;
  std::string caption_;
};

}  // namespace

void CheckToolkit::MsgBox(const std::string& text, int, const std::string& title) {
  Record("the message \"" + text + "\" (" + title + ")");
}

std::unique_ptr<EnterPathView> CheckToolkit::CreateEnterPath() { return std::make_unique<UnshownEnterPath>(*this); }

std::vector<std::string> CheckToolkit::TakeUnshown() { return std::exchange(unshown_, {}); }

}  // namespace vsu
