#pragma once

#include "common/scoped_handle.h"
#include "platform/process_list.h"

namespace vsu {

// A process or snapshot handle, closed when it goes out of scope, so a match
// that ends the walk early still releases it.
using ScopedProcHandle = ScopedHandle<ProcessList, ProcHandle, &ProcessList::CloseHandle>;

}  // namespace vsu
