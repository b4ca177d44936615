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

PosixClock::PosixClock(AwaitedProcesses* awaited) : scale_(PauseScaleFromEnvironment()), awaited_(awaited) {}

void PosixClock::Sleep(unsigned milliseconds) {
  using namespace std::chrono;
  const auto wanted = duration_cast<nanoseconds>(duration<double, std::milli>(milliseconds * scale_));
  const auto nominal = duration_cast<nanoseconds>(std::chrono::milliseconds(milliseconds));
  if (wanted < nominal) SleepWhileAwaitedProcessesRun(nominal - wanted);
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

void PosixClock::SleepWhileAwaitedProcessesRun(std::chrono::nanoseconds limit) {
  using namespace std::chrono;
  if (!awaited_) return;
  const auto deadline = steady_clock::now() + limit;
  while (awaited_->AnyRunning() && steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::min<nanoseconds>(milliseconds(1), deadline - steady_clock::now()));
  }
}

}  // namespace vsu::posix
