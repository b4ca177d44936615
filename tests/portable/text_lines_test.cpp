// Lines end at CR LF or a lone CR, never at a lone LF, whatever the read sizes (writing: names list tests).

#include <gtest/gtest.h>

#include <cstring>

#include "common/text_lines.h"

namespace vsu {
namespace {

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

Lines ReadAll(const std::string& data, std::size_t step) {
  LineReader reader(std::make_unique<StringInput>(data, step));
  Lines lines;
  for (std::string line; reader.ReadLine(line);) lines.push_back(line);
  return lines;
}

TEST(LineReader, SplitsAtCrAndCrLfOnly) {
  for (const auto& [data, lines] : std::vector<std::pair<std::string, Lines>>{
           {"", {}},
           {"a\r\nb\r\n", {"a", "b"}},
           {"a\rb\rc", {"a", "b", "c"}},
           {"a\nb\nc\r\n", {"a\nb\nc"}},
           {"x.mib\ny.mib\n", {"x.mib\ny.mib\n"}},
           {"a\r\n\nb", {"a", "\nb"}},
           {"\r\n\r\na\r\n", {"", "", "a"}},
           {"a\r\r\nb", {"a", "", "b"}},
           {"caf\xe9\t \x01\r\nlast", {"caf\xe9\t \x01", "last"}}}) {
    for (const std::size_t step : {1, 3, 1 << 20}) EXPECT_EQ(ReadAll(data, step), lines) << data << " by " << step;
  }
}

}  // namespace
}  // namespace vsu
