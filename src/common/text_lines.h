#pragma once
// Text files line by line: a line ends at CR or CR LF (a lone LF does not end a
// line) and the line end is not part of the line; bytes are kept as they are.
// Every line written ends with CR LF.

#include <memory>
#include <string>
#include <string_view>

#include "common/streams.h"

namespace vsu {

class LineReader {
 public:
  explicit LineReader(std::unique_ptr<InputFile> file);
  // Reads the next line into line; false at the end of the file (line untouched).
  bool ReadLine(std::string& line);
  // True when no further line can be read.
  bool AtEnd();

 private:
  bool Fill();
  std::unique_ptr<InputFile> file_;
  std::string buffer_;
  std::size_t pos_ = 0;
  bool eof_ = false;
};

class LineWriter {
 public:
  explicit LineWriter(std::unique_ptr<OutputFile> file);
  void WriteLine(std::string_view line);
  void Close();

 private:
  std::unique_ptr<OutputFile> file_;
  std::string pending_;
};

}  // namespace vsu
