#include "locations/frm_enter_path.h"

#include "forms/centre.h"
#include "common/text.h"
#include "platform/files.h"
#include "platform/views.h"

namespace vsu {
namespace {

class frmEnterPath : public EnterPathHandlers {
 public:
  frmEnterPath(Platform& p, InstallationState& s, EnterPathView& view) : p_(p), s_(s), view_(view) {}

  void Form_Load() { CentreOnScreen(view_, p_.ui); }

  void cmdOK_Click() override {
    std::string text = TrimSpaces(view_.TxtName());
    view_.SetTxtName(text);
    if (!text.empty() && text.back() == '\\') {
      text.pop_back();
      view_.SetTxtName(text);
    }
    if (p_.files.FileExists(text + "\\Lumidex.mdb") || p_.files.FileExists(text + "\\snmpc.ini")) {
      s_.EnteredPath = text;
      view_.Close();
    } else {
      p_.ui.MsgBox("Please check path again", kMsgBoxInformation, "Vela Scan");
    }
  }

  void cmdCancel_Click() override {
    s_.EnteredPath = "";
    view_.Close();
  }

 private:
  Platform& p_;
  InstallationState& s_;
  EnterPathView& view_;
};

}  // namespace

void AskForPath(Platform& p, InstallationState& s, const std::string& prompt) {
  // A new dialog for every showing, so txtName starts empty.
  const auto view = p.ui.CreateEnterPath();
  frmEnterPath form(p, s, *view);
  form.Form_Load();
  view->SetCaption(prompt);
  view->ShowModal(form);
}

}  // namespace vsu
