// The common layer: lines end at CR LF or a lone CR whatever the read sizes; SHA-256 as any other tool computes it.

#include <cstring>

#include "common/sha256.h"
#include "common/text_lines.h"
#include "support/testing.h"

namespace vsu { namespace {

// Hands out a string in reads of a fixed size, so line ends can fall on a read boundary.
class StringInput : public InputFile {
 public:
  StringInput(std::string data, std::size_t step) : data_(std::move(data)), step_(step) {}
  std::size_t Read(char* buffer, std::size_t size) override {
    const auto n = std::min({size, step_, data_.size() - pos_});
    std::memcpy(buffer, data_.data() + pos_, n);
    pos_ += n;
    return n;
  }

 private:
  std::string data_;
  std::size_t step_, pos_ = 0;
};

using Lines = std::vector<std::string>;

// Never at a lone LF (writing: the names list tests).
TEST(LineReader, SplitsAtCrAndCrLfOnly) {
  for (const auto& [data, lines] : std::vector<std::pair<std::string, Lines>>{
           {"", {}}, {"a\r\nb\r\n", {"a", "b"}}, {"a\rb\rc", {"a", "b", "c"}}, {"a\nb\nc\r\n", {"a\nb\nc"}},
           {"x.mib\ny.mib\n", {"x.mib\ny.mib\n"}}, {"a\r\n\nb", {"a", "\nb"}}, {"\r\n\r\na\r\n", {"", "", "a"}},
           {"a\r\r\nb", {"a", "", "b"}}, {"caf\xe9\t \x01\r\nlast", {"caf\xe9\t \x01", "last"}}}) {
    for (const std::size_t step : {1, 3, 1 << 20}) {
      LineReader reader(std::make_unique<StringInput>(data, step));
      Lines read;
      for (std::string line; reader.ReadLine(line);) read.push_back(line);
      EXPECT_EQ(read, lines) << data << " by " << step;
    }
  }
}

// The backup manifest's hashes; 56 bytes need a second block of padding.
TEST(Sha256, MatchesThePublishedDigestsWhateverTheChunks) {
  for (const auto& [input, chunk, digest] : {
           std::tuple<std::string, std::size_t, const char*>{
               "", 1, "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
           {"abc", 1, "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
           {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq", 7,
            "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
           {std::string(1000000, 'a'), 4093, "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"}}) {
    Sha256 hash;
    for (std::size_t at = 0; at < input.size(); at += chunk) hash.Add(input.substr(at, chunk));
    EXPECT_EQ(hash.HexDigest(), digest) << input.size();
  }
}

}}  // namespace vsu
