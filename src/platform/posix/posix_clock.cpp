#include "platform/posix/posix_clock.h"

#include <cstdlib>
#include <thread>

namespace vsu::posix {

double PauseScaleFromEnvironment() {
  const char* text = std::getenv("VELASCANUPG_PAUSE_SCALE");
  if (!text || !*text) return 1.0;
  char* end = nullptr;
  const double value = std::strtod(text, &end);
  if (*end != '\0' || !(value >= 0)) return 1.0;
  return value;
}

PosixClock::PosixClock() : scale_(PauseScaleFromEnvironment()) {}

void PosixClock::Sleep(unsigned milliseconds) {
  using namespace std::chrono;
  const auto wanted = duration_cast<nanoseconds>(duration<double, std::milli>(milliseconds * scale_));
  if (wanted <= nanoseconds::zero()) return;
  // Never carry more than one slice of overrun, so a long stall elsewhere is not
  // paid back by skipping whole sleeps.
  const auto credit = std::min(overrun_, wanted);
  const auto target = wanted - credit;
  const auto start = steady_clock::now();
  if (target > nanoseconds::zero()) std::this_thread::sleep_for(target);
  const auto slept = duration_cast<nanoseconds>(steady_clock::now() - start);
  overrun_ = std::max(nanoseconds::zero(), overrun_ - credit + (slept - target));
  overrun_ = std::min(overrun_, wanted);
}

}  // namespace vsu::posix
