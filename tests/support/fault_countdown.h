#pragma once
// The count of a test's fault injection, shared by every port it reaches.

#include <cstdint>
#include <string>

namespace vsu::test {

// ERROR_INTERNAL_ERROR: the code an injected service-manager failure reports.
inline constexpr std::uint32_t kInjectedCode = 1359;

// What a kill leaves: no routine of the program catches it.
struct Crash {};

class FaultCountdown {
 public:
  long failAt = 0;  // 0: nothing fails
  bool unexpected = false;  // throw an exception of the standard library instead of a Failure
  bool crash = false;       // throw Crash instead
  long calls = 0;
  std::string fired;  // the call that failed, once one has
  // Counts a call; true when it is the one that fails.
  bool Due(const std::string& call);
  // Counts a call that reports its failure by throwing, and throws when due.
  void Throw(const std::string& call);
  std::string Text() const { return "Injected fault: " + fired; }
};

}  // namespace vsu::test
