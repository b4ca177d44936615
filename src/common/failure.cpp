#include "common/failure.h"

#include <new>

namespace vsu {

std::string FailureDescription(const std::exception& exception) {
  if (const auto* failure = dynamic_cast<const Failure*>(&exception)) return failure->Description();
  if (dynamic_cast<const std::bad_alloc*>(&exception)) return "Out of memory";
  return exception.what();
}

}  // namespace vsu
