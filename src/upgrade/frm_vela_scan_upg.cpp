#include "upgrade/frm_vela_scan_upg.h"

#include "forms/centre.h"
#include "common/failure.h"
#include "locations/snmpc_directory.h"
#include "platform/files.h"
#include "upgrade/upgrade_sequence.h"

namespace vsu {

void frmVelaScanUpg::Form_Load() { CentreOnScreen(view_, p_.ui); }

void frmVelaScanUpg::Form_Activate() { done_ = RunUpgradeSequence(p_, s_, view_); }

void frmVelaScanUpg::cmdExit_Click() {
  bool snmpcCase = true;
  try {
    snmpcCase = !IsLumidexCase(p_, s_.SnmpcDir);
  } catch (const Failure&) {
    snmpcCase = false;  // the folder cannot even be listed: no MIB was added there
  }
  if (snmpcCase) {
    p_.ui.MsgBox(
        "A new MIB (ferrowin.mib) has been added to\r\nSNMPc. Recompile the mib database in SNMPc\r\n"
        "to have the new velascan traps decoded.",
        kMsgBoxInformation, "Vela Scan");
  }
  throw EndProgram{done_ ? kExitDone : kExitFailed};
}

void ShowUpgradeWindow(Platform& p, InstallationState& s) {
  const auto view = p.ui.CreateUpgrade();
  frmVelaScanUpg form(p, s, *view);
  form.Form_Load();
  view->ShowModal(form);
}

}  // namespace vsu
