#pragma once
// Views that keep the windows' state as plain values, for the backends that
// draw as text (batch and terminal). Changed() is called after every change.

#include <string>

#include "platform/views.h"
#include "ui/layout.h"

namespace vsu {

template <typename Base>
class TextWindow : public Base {
 public:
  TextWindow(TwipSize client, std::string caption) : client_(client), caption_(std::move(caption)) {}
  TwipSize OuterSize() override { return layout::OuterSize(client_); }
  void Move(double left, double top) override {
    left_ = left;
    top_ = top;
  }
  void SetCaption(const std::string& text) override {
    caption_ = text;
    Changed();
  }
  const std::string& caption() const { return caption_; }

 protected:
  virtual void Changed() {}
  TwipSize client_;
  std::string caption_;
  double left_ = 0;
  double top_ = 0;
};

class TextMainView : public TextWindow<MainView> {
 public:
  TextMainView() : TextWindow(layout::kMainClient, layout::kMainCaption) {}
  void Hide() override {}
};

class TextEnterPathView : public TextWindow<EnterPathView> {
 public:
  TextEnterPathView() : TextWindow(layout::kEnterPathClient, layout::kEnterPathCaption) {}
  std::string Caption() override { return caption_; }
  std::string TxtName() override { return txtName_; }
  void SetTxtName(const std::string& text) override {
    txtName_ = text;
    Changed();
  }
  void Close() override { closed_ = true; }

 protected:
  std::string txtName_;
  bool closed_ = false;
};

class TextUpgradeView : public TextWindow<UpgradeView> {
 public:
  TextUpgradeView() : TextWindow(layout::kUpgradeClient, layout::kUpgradeCaption) {}
  void Refresh() override { Changed(); }
  void SetTxtInfo(const std::string& text) override {
    txtInfo_ = text;
    Changed();
  }
  void SetProgress(int value) override {
    progress_ = value;
    Changed();
  }
  void SetExitEnabled(bool enabled) override {
    exitEnabled_ = enabled;
    Changed();
  }
  bool ExitEnabled() override { return exitEnabled_; }
  void SetExitCaption(const std::string& text) override {
    exitCaption_ = text;
    Changed();
  }
  std::uintptr_t NativeHandle() override { return 0; }

 protected:
  std::string txtInfo_ = layout::kTxtInfo;
  int progress_ = 0;
  bool exitEnabled_ = true;
  std::string exitCaption_ = layout::kExitCaption;
};

}  // namespace vsu
