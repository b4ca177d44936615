#pragma once

#include <string>

namespace vsu::test {

// Names each case of a parameterised test after the name field of its parameter.
struct CaseName {
  template <typename Info>
  std::string operator()(const Info& info) const {
    return info.param.name;
  }
};

}  // namespace vsu::test
