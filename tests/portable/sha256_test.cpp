// The backup manifest's hashes must be the SHA-256 any other tool computes.

#include "common/sha256.h"

#include <gtest/gtest.h>

namespace vsu {
namespace {

struct HashCase {
  const char* name;
  std::string input;
  std::size_t chunk;  // bytes per Add call
  const char* digest;
};

class Sha256Test : public ::testing::TestWithParam<HashCase> {};

TEST_P(Sha256Test, MatchesThePublishedDigest) {
  Sha256 hash;
  const std::string& input = GetParam().input;
  for (std::size_t at = 0; at < input.size(); at += GetParam().chunk) hash.Add(input.substr(at, GetParam().chunk));
  EXPECT_EQ(hash.HexDigest(), GetParam().digest);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Sha256Test,
    ::testing::Values(
        HashCase{"empty", "", 1, "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        HashCase{"abc", "abc", 1, "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        // 56 bytes: the padding needs a second block.
        HashCase{"two_blocks", "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq", 7,
                 "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        HashCase{"million_a", std::string(1000000, 'a'), 4093,
                 "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vsu
