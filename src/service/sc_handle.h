#pragma once

#include "common/scoped_handle.h"
#include "platform/service_manager.h"

namespace vsu {

// A service or manager handle, closed when it goes out of scope.
using ScopedScHandle = ScopedHandle<ServiceManager, ScHandle, &ServiceManager::CloseServiceHandle>;

}  // namespace vsu
