#include "forms/centre.h"

#include <cfenv>
#include <cmath>

namespace vsu {

long CentreOffset(double screen, double window) {
  // nearbyint follows the default rounding mode, which rounds halves to even.
  const auto difference = static_cast<long>(std::nearbyint(screen - window));
  return difference / 2;
}

void CentreOnScreen(WindowView& window, WindowToolkit& ui) {
  const auto screen = ui.ScreenSize();
  const auto size = window.OuterSize();
  window.Move(static_cast<double>(CentreOffset(screen.width, size.width)),
              static_cast<double>(CentreOffset(screen.height, size.height)));
}

}  // namespace vsu
