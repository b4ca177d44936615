#pragma once

#include <memory>

#include "platform/views.h"

namespace vsu::win32ui {

// The backend env VELASCANUPG_UI names on Windows: "batch" answers from the
// standard streams, anything else (and no value) gives real windows.
std::unique_ptr<WindowToolkit> CreateToolkitFromEnvironment();

}  // namespace vsu::win32ui
