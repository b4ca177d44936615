#include "locations/snmpc_directory.h"

#include <optional>

#include "common/failure.h"
#include "common/text.h"
#include "common/text_lines.h"
#include "database/connection_strings.h"
#include "database/field_values.h"
#include "database/tables.h"
#include "locations/frm_enter_path.h"
#include "locations/program_directory.h"
#include "platform/files.h"
#include "platform/system.h"

namespace vsu {
namespace {

std::string StoredSnmpcPath(Platform& p, const std::string& connectString) {
  const auto connection = OpenConnection(p.db, connectString);
  const auto settings = OpenTable(p.db, *connection, "Settings_General");
  std::string path = FieldText(*settings, "SnmpcPath");
  settings->Close();
  connection->Close();
  return path;
}

// Reads the section's lines until a non-empty "DIR=" value, the next section
// or the end of the file. SnmpcDir keeps its stored value unless a "DIR=" line
// comes first, so a stored value only gives way to the section's first line.
void ScanSnmpcSection(LineReader& winIni, std::string& snmpcDir) {
  std::string line;
  do {
    winIni.ReadLine(line);
    if (UpperCase(Left(line, 4)) == "DIR=") snmpcDir = DropOneTrailingBackslash(TrimSpaces(line.substr(4)));
  } while (snmpcDir.empty() && !StartsWith(line, "[") && !winIni.AtEnd());
}

bool HoldsSnmpcOrLumidex(Platform& p, const std::string& dir) {
  return p.files.FileExists(dir + "\\snmpc.ini") || p.files.FileExists(dir + "\\lumidex.ini");
}

}  // namespace

bool ReadSnmpcSection(LineReader& winIni, std::string& snmpcDir) {
  std::string line;
  while (winIni.ReadLine(line) && line != "[SNMPc Network Manager]") {
  }
  if (line != "[SNMPc Network Manager]" || winIni.AtEnd()) return false;
  ScanSnmpcSection(winIni, snmpcDir);
  return true;
}

bool IsLumidexCase(Platform& p, const std::string& snmpcDir) {
  return p.files.FileExists(snmpcDir + "\\Lumidex.mdb");
}

void FindSnmpcDir(Platform& p, InstallationState& s) {
  try {
    s.ProgramDir = ProgramDirectoryFromCommandLine(p);
    p.system.ChangeDirectory(s.ProgramDir);
    s.DbConnectString = VelaScanConnectString(s.ProgramDir);
    s.SnmpcDir = StoredSnmpcPath(p, s.DbConnectString);

    const std::string winIniPath = s.WindowsDir + "\\win.ini";
    // Held open to the end, prompts included; closed on every way out.
    std::optional<LineReader> winIni;
    if (p.files.FileExists(winIniPath)) {
      winIni.emplace(p.files.OpenForInput(winIniPath));
      if (ReadSnmpcSection(*winIni, s.SnmpcDir)) {
        if (s.SnmpcDir.empty()) {
          AskForPath(p, s, kPromptSnmpc);
          s.SnmpcDir = s.EnteredPath;
        }
        return;
      }
    }
    // The stored value is trusted only where SNMPc or Lumidex is installed.
    if (!HoldsSnmpcOrLumidex(p, s.SnmpcDir)) {
      AskForPath(p, s, kPromptSnmpcOrLumidex);
      s.SnmpcDir = s.EnteredPath;
    }
  } catch (const std::exception&) {
    // Silent by design: start-up goes on with what was found so far.
  }
}

}  // namespace vsu
