#include "locations/ini_settings.h"

#include "common/failure.h"
#include "common/text.h"
#include "common/text_lines.h"
#include "platform/files.h"

namespace vsu {

void ReadPhpIniDbSettings(LineReader& lines, std::string& server, std::string& source, std::string& user) {
  struct Key {
    std::string_view prefix;
    std::string& value;
  };
  const Key keys[] = {{"SNMPC.DBSERVER=", server}, {"SNMPC.DBSOURCE=", source}, {"SNMPC.DBUSER=", user}};
  std::string line;
  while (UpperCase(Left(line, 7)) != "[SNMPC]" && !lines.AtEnd()) lines.ReadLine(line);
  // The keys are looked for up to the end of the file, past any later section.
  while (lines.ReadLine(line)) {
    const std::string upper = UpperCase(Left(line, 15));
    for (const Key& key : keys) {
      if (StartsWith(upper, key.prefix)) key.value = TrimSpaces(std::string_view(line).substr(key.prefix.size()));
    }
  }
}

void ReadPhpIniDbSettings(Platform& p, const std::string& windowsDir, std::string& server,
                          std::string& source, std::string& user) {
  try {
    const std::string path = windowsDir + "\\php.ini";
    if (!p.files.FileExists(path)) return;
    LineReader lines(p.files.OpenForInput(path));
    ReadPhpIniDbSettings(lines, server, source, user);
  } catch (const std::exception&) {
    // Silent by design: the values found so far stay.
  }
}

void ReadLumidexServerIpAddr(LineReader& lines, std::string& address) {
  std::string line;
  while (lines.ReadLine(line)) {
    const auto eq = line.find('=');
    if (line.size() <= 3 || line[0] == ';' || line[0] == '[' || eq == std::string::npos) continue;
    const std::string_view text(line);
    if (TrimSpaces(text.substr(0, eq)) == "ServerIpAddr") address = TrimSpaces(text.substr(eq + 1));
  }
}

void ReadLumidexServerIpAddr(Platform& p, const std::string& snmpcDir, std::string& address) {
  try {
    const std::string path = snmpcDir + "\\Lumidex.ini";
    if (!p.files.FileExists(path)) return;
    LineReader lines(p.files.OpenForInput(path));
    ReadLumidexServerIpAddr(lines, address);
  } catch (const std::exception&) {
    // Silent by design: the caller falls back to the machine's own address.
  }
}

}  // namespace vsu
