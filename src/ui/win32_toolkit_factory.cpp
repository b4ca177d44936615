#include "ui/win32_toolkit_factory.h"

#include <cstdlib>
#include <iostream>
#include <string>

#include "ui/batch_toolkit.h"
#include "ui/win32_toolkit.h"

namespace vsu::win32ui {

std::unique_ptr<WindowToolkit> CreateToolkitFromEnvironment() {
  const char* value = std::getenv("VELASCANUPG_UI");
  if (value && std::string(value) == "batch") return std::make_unique<BatchToolkit>(std::cin, std::cout);
  return std::make_unique<Win32Toolkit>();
}

}  // namespace vsu::win32ui
