#pragma once
// SHA-256, so that an administrator can compare the program's hashes with
// those of any other tool.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace vsu {

class Sha256 {
 public:
  Sha256();
  void Add(std::string_view bytes);
  // The digest as 64 lower-case hex digits; the object is used up.
  std::string HexDigest();

 private:
  void Block(const unsigned char* block);
  std::array<std::uint32_t, 8> state_;
  unsigned char pending_[64];
  std::size_t pendingSize_ = 0;
  std::uint64_t totalBytes_ = 0;
};

}  // namespace vsu
