#include "support/fakes.h"

#include "support/json_lines.h"

namespace vsu::test {

std::vector<long> TestPlatform::Pauses() const {
  std::vector<long> pauses;
  for (const auto& event : ParseTranscript(logLines)) {
    if (event.name() == "pause") pauses.push_back(event.Num("ms"));
  }
  return pauses;
}

}  // namespace vsu::test
