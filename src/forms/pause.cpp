#include "forms/pause.h"

#include "common/transcript.h"
#include "platform/clock.h"
#include "platform/views.h"

namespace vsu {

void Pause(Platform& p, std::int16_t milliseconds) {
  p.log.Log("pause", {{"ms", std::int64_t{milliseconds}}});
  const int slices = milliseconds / 20;
  for (int i = 0; i < slices; ++i) {
    p.clock.Sleep(20);
    p.ui.DoEvents();
  }
}

}  // namespace vsu
