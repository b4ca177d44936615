#pragma once

#include "platform/views.h"

namespace vsu {

// The left (or top) that centres a window of the given size on a screen of the
// given size, in twips: the difference is rounded to the nearest whole twip
// (halves to even) and then halved by integer division toward zero.
long CentreOffset(double screen, double window);

// Moves window to the centre of the screen; its size does not change.
void CentreOnScreen(WindowView& window, WindowToolkit& ui);

}  // namespace vsu
