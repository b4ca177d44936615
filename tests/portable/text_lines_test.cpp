#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/failure.h"
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
  std::size_t step_;
  std::size_t pos_ = 0;
};

std::vector<std::string> ReadAll(const std::string& data, std::size_t step = 1 << 20) {
  LineReader reader(std::make_unique<StringInput>(data, step));
  std::vector<std::string> lines;
  for (std::string line; reader.ReadLine(line);) lines.push_back(line);
  return lines;
}

struct LinesCase {
  const char* name;
  std::string data;
  std::vector<std::string> lines;
};

class LineReaderTest : public ::testing::TestWithParam<LinesCase> {};

TEST_P(LineReaderTest, SplitsAtCrAndCrLfOnly) {
  const auto& c = GetParam();
  EXPECT_EQ(ReadAll(c.data), c.lines);
  // The same lines whatever the read size, down to one byte at a time.
  EXPECT_EQ(ReadAll(c.data, 1), c.lines);
  EXPECT_EQ(ReadAll(c.data, 3), c.lines);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LineReaderTest,
    ::testing::Values(
        LinesCase{"empty", "", {}},
        LinesCase{"crlf", "a\r\nb\r\n", {"a", "b"}},
        LinesCase{"lone_cr", "a\rb\rc", {"a", "b", "c"}},
        LinesCase{"lone_lf_is_not_an_end", "a\nb\nc\r\n", {"a\nb\nc"}},
        LinesCase{"lf_only_file_is_one_line", "x.mib\ny.mib\n", {"x.mib\ny.mib\n"}},
        LinesCase{"lf_after_crlf_starts_next_line", "a\r\n\nb", {"a", "\nb"}},
        LinesCase{"empty_lines_kept", "\r\n\r\na\r\n", {"", "", "a"}},
        LinesCase{"cr_cr_lf", "a\r\r\nb", {"a", "", "b"}},
        LinesCase{"bytes_kept", "caf\xe9\t \x01\r\n", {"caf\xe9\t \x01"}},
        LinesCase{"no_final_line_end", "last", {"last"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LineReader, CrLfSplitAcrossTheBufferBoundaryIsOneLineEnd) {
  const std::string first(65535, 'x');
  const auto lines = ReadAll(first + "\r\nnext\r\n", 65536);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], first);
  EXPECT_EQ(lines[1], "next");
}

class StringOutput : public OutputFile {
 public:
  explicit StringOutput(std::string& out) : out_(out) {}
  void Write(std::string_view bytes) override { out_.append(bytes); }
  void Close() override { closed = true; }
  bool closed = false;

 private:
  std::string& out_;
};

TEST(LineWriter, EndsEveryLineWithCrLf) {
  std::string out;
  LineWriter writer(std::make_unique<StringOutput>(out));
  writer.WriteLine("Ferrowin.mib");
  writer.WriteLine("");
  writer.WriteLine("a\nb");
  writer.Close();
  EXPECT_EQ(out, "Ferrowin.mib\r\n\r\na\nb\r\n");
}

}  // namespace
}  // namespace vsu
