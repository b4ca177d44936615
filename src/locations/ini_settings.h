#pragma once
// The two INI readers. Each reads its file line by line with plain text tests,
// writes a variable only when its key is found, and ends silently on a failure.

#include <string>

#include "common/text_lines.h"
#include "platform/platform.h"

namespace vsu {

// From php.ini in the Windows directory: every line after the first one that
// starts with "[SNMPC]" (any case) is tested for the keys SNMPC.DBSERVER=,
// SNMPC.DBSOURCE= and SNMPC.DBUSER= (any case, at the start of the line); a
// later line overwrites an earlier one.
void ReadPhpIniDbSettings(Platform& p, const std::string& windowsDir, std::string& server,
                          std::string& source, std::string& user);
// The same over php.ini's lines; a failure to read them is thrown.
void ReadPhpIniDbSettings(LineReader& lines, std::string& server, std::string& source, std::string& user);

// From Lumidex.ini in the SNMPc directory: the value of the last line whose
// key, before the first "=", is exactly "ServerIpAddr" in any section.
void ReadLumidexServerIpAddr(Platform& p, const std::string& snmpcDir, std::string& address);
// The same over Lumidex.ini's lines; a failure to read them is thrown.
void ReadLumidexServerIpAddr(LineReader& lines, std::string& address);

}  // namespace vsu
