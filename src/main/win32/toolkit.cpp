#include "main/toolkit.h"

#include <cstdlib>
#include <iostream>
#include <string>

#include "ui/batch/batch_toolkit.h"
#include "ui/win32/win32_toolkit.h"

namespace vsu {

// On Windows "batch" answers from the standard streams; anything else, and no
// value, gives real windows.
std::unique_ptr<WindowToolkit> CreateToolkitFromEnvironment() {
  const char* value = std::getenv("VELASCANUPG_UI");
  if (value && std::string(value) == "batch") return std::make_unique<BatchToolkit>(std::cin, std::cout);
  return std::make_unique<win32ui::Win32Toolkit>();
}

}  // namespace vsu
