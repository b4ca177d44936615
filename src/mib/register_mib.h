#pragma once

#include "common/installation_state.h"
#include "platform/platform.h"

namespace vsu {

// Rewrites SnmpcDir\mibfiles\names.txt so that it lists Ferrowin.mib once, as
// its last entry, without empty lines and without QUILLBANK.MIB; the previous
// list stays as names.bak. A failure is shown to the user, never to the caller;
// after a failure or a run cut short, names.bak holds the whole previous list
// and the next run finishes the job from it.
void RegisterMib(Platform& p, const InstallationState& s);

}  // namespace vsu
