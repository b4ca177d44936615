#pragma once

#include <memory>
#include <string>

#include "platform/views.h"

namespace vsu {

// The backend env VELASCANUPG_UI names (batch, terminal, gui); without it,
// terminal when stdin and stdout are terminals, else batch. Outside Windows
// "gui" falls back to the default, with a note on stderr.
std::unique_ptr<WindowToolkit> CreateToolkitFromEnvironment();

}  // namespace vsu
