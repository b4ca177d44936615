#pragma once

#include "common/installation_state.h"
#include "platform/platform.h"
#include "platform/views.h"

namespace vsu {

// The upgrade window's logic: centred at load, the upgrade run on activation,
// and the Exit button, which ends the program after the MIB note of an SNMPc
// installation.
class frmVelaScanUpg : public UpgradeHandlers {
 public:
  frmVelaScanUpg(Platform& p, InstallationState& s, UpgradeView& view) : p_(p), s_(s), view_(view) {}
  void Form_Load();
  void Form_Activate() override;
  void cmdExit_Click() override;

 private:
  Platform& p_;
  InstallationState& s_;
  UpgradeView& view_;
  bool done_ = false;
};

// Creates the upgrade window and shows it modally; returns when it was closed
// without its Exit button.
void ShowUpgradeWindow(Platform& p, InstallationState& s);

}  // namespace vsu
