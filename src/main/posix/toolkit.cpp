#include "main/toolkit.h"

#include <unistd.h>

#include <cstdlib>
#include <iostream>

#include "ui/batch/batch_toolkit.h"
#include "ui/terminal/terminal_toolkit.h"

namespace vsu {

std::unique_ptr<WindowToolkit> CreateToolkitFromEnvironment() {
  const char* value = std::getenv("VELASCANUPG_UI");
  std::string name = value ? value : "";
  if (name == "gui") {
    std::cerr << "velascanupg: no graphical windows on this platform; using the "
              << (::isatty(0) && ::isatty(1) ? "terminal" : "batch") << " interface\n";
    name.clear();
  } else if (!name.empty() && name != "batch" && name != "terminal") {
    std::cerr << "velascanupg: unknown VELASCANUPG_UI \"" << name << "\"; using the default\n";
    name.clear();
  }
  if (name.empty()) name = (::isatty(0) && ::isatty(1)) ? "terminal" : "batch";
  if (name == "terminal") return std::make_unique<TerminalToolkit>(0, 1);
  return std::make_unique<BatchToolkit>(std::cin, std::cout);
}

}  // namespace vsu
