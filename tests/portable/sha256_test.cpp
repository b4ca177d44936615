// The backup manifest's hashes must be the SHA-256 any other tool computes.

#include "common/sha256.h"

#include <gtest/gtest.h>

namespace vsu {
namespace {

TEST(Sha256, MatchesThePublishedDigestsWhateverTheChunks) {
  struct Row {
    std::string input;
    std::size_t chunk;  // bytes per Add call
    const char* digest;
  };
  for (const Row& r : {
           Row{"", 1, "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
           Row{"abc", 1, "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
           // 56 bytes: the padding needs a second block.
           Row{"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq", 7,
               "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
           Row{std::string(1000000, 'a'), 4093, "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"}}) {
    Sha256 hash;
    for (std::size_t at = 0; at < r.input.size(); at += r.chunk) hash.Add(r.input.substr(at, r.chunk));
    EXPECT_EQ(hash.HexDigest(), r.digest) << r.input.size();
  }
}

}  // namespace
}  // namespace vsu
