#pragma once
// Files open for reading or writing, as the platform hands them out; the line
// reader and writer work on them.

#include <cstddef>
#include <string_view>

namespace vsu {

// A file open for reading; closed when destroyed.
class InputFile {
 public:
  virtual ~InputFile() = default;
  // Reads up to size bytes; returns 0 at the end of the file. Throws Failure.
  virtual std::size_t Read(char* buffer, std::size_t size) = 0;
};

// A file open for writing; closed when destroyed (Close reports a failure, the
// destructor cannot).
class OutputFile {
 public:
  virtual ~OutputFile() = default;
  virtual void Write(std::string_view bytes) = 0;
  virtual void Close() = 0;
};

}  // namespace vsu
