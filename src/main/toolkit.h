#pragma once

#include <memory>
#include <string>

#include "platform/views.h"

namespace vsu {

// The window toolkit env VELASCANUPG_UI names. Linux: batch or terminal;
// without it, terminal when stdin and stdout are terminals, else batch; "gui"
// falls back to the default, with a note on stderr. Windows: batch, or real
// windows for anything else.
std::unique_ptr<WindowToolkit> CreateToolkitFromEnvironment();

}  // namespace vsu
