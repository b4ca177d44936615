#include "mib/register_mib.h"

#include "common/failure.h"
#include "common/text.h"
#include "common/text_lines.h"
#include "database/pause.h"
#include "platform/files.h"
#include "platform/views.h"

namespace vsu {
namespace {

// A line is kept unless it is empty or names either MIB, in any letter case,
// anywhere in it. upper is scratch space reused from line to line.
bool KeepLine(const std::string& line, std::string& upper) {
  if (line.empty()) return false;
  UpperCaseInto(line, upper);
  return upper.find("QUILLBANK.MIB") == std::string::npos && upper.find("FERROWIN.MIB") == std::string::npos;
}

}  // namespace

void RegisterMib(Platform& p, const InstallationState& s) {
  const std::string list = s.SnmpcDir + "\\mibfiles\\names.txt";
  const std::string backup = s.SnmpcDir + "\\mibfiles\\names.bak";
  try {
    if (p.files.FileExists(backup)) {
      p.files.DeleteFile(backup);
      Pause(p, 100);
    }
    p.files.RenameFile(list, backup);
    LineReader in = OpenLines(p.files, backup);
    LineWriter out = CreateLines(p.files, list);
    std::string line;
    std::string upper;
    while (in.ReadLine(line)) {
      if (KeepLine(line, upper)) out.WriteLine(line);
    }
    out.WriteLine("Ferrowin.mib");
    out.WriteLine("");
    out.Close();
  } catch (const std::exception& failure) {
    p.ui.MsgBox(FailureDescription(failure), 16, "Vela Scan");
  }
}

}  // namespace vsu
