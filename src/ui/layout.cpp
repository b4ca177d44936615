#include "ui/layout.h"

#include <cstdio>
#include <cstdlib>

namespace vsu::layout {

TwipSize ScreenFromEnvironment() {
  constexpr double kTwipsPerPixel = 15;
  int width = 1024;
  int height = 768;
  if (const char* text = std::getenv("VELASCANUPG_SCREEN")) {
    int w = 0;
    int h = 0;
    char tail = 0;
    if (std::sscanf(text, "%dx%d%c", &w, &h, &tail) == 2 && w > 0 && h > 0) {
      width = w;
      height = h;
    }
  }
  return {width * kTwipsPerPixel, height * kTwipsPerPixel};
}

}  // namespace vsu::layout
