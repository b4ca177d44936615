#pragma once

#include "common/installation_state.h"
#include "platform/platform.h"
#include "platform/views.h"

namespace vsu {

// The version this tool brings the installation to.
inline constexpr const char* kTargetVersion = "3.14";

// The upgrade run, from the console warning to the started service, reported in
// window's status line and progress bar. Every failure is shown and ends the
// run with Exit enabled; nothing done before it is undone. Returns true when
// the run finished ("Done").
bool RunUpgradeSequence(Platform& p, InstallationState& s, UpgradeView& window);

}  // namespace vsu
