#include "mib/names_list.h"

#include <string>

#include "common/text.h"

namespace vsu {
namespace {

// upper is scratch space reused from line to line.
bool KeepLine(const std::string& line, std::string& upper) {
  if (line.empty()) return false;
  UpperCaseInto(line, upper);
  return upper.find("QUILLBANK.MIB") == std::string::npos && upper.find("FERROWIN.MIB") == std::string::npos;
}

}  // namespace

void WriteNamesList(LineReader& in, LineWriter& out) {
  std::string line;
  std::string upper;
  while (in.ReadLine(line)) {
    if (KeepLine(line, upper)) out.WriteLine(line);
  }
  out.WriteLine("Ferrowin.mib");
  out.WriteLine("");
}

}  // namespace vsu
