#pragma once
// Throw-away installations of Vela Scan for the tests, the demo and the
// benchmarks: a folder that stands for drive C, holding the Windows directory,
// the program directory with VelaScan.mdb and the SNMPc directory.

#include <filesystem>
#include <optional>
#include <string>

namespace vsu::fixture {

// VelaScan.mdb at a schema version: the tables the upgrade touches, with the
// columns of later versions present exactly when the version has them, and
// filled as the upgrade to that version would have filled them.
struct DatabaseOptions {
  std::string version = "3.14";               // M.NN from 2.00 to 3.14
  std::optional<std::string> storedVersion;   // ProgVersion text, when it differs
  std::string snmpcPath = "c:\\SNMPc";        // SnmpcPath
  bool settingsRow = true;                    // Settings_General has its row
  long rows = 3;                              // rows of SuppGrp_Perm and Maintenance
};

enum class WinIni { kSection, kPlain, kNone };

struct InstallationOptions {
  std::filesystem::path drive;  // stands for c:\ (created when missing)
  DatabaseOptions database;
  bool lumidex = false;         // Lumidex.mdb and Lumidex.ini in the SNMPc directory
  std::string serverIpAddr;     // ServerIpAddr of Lumidex.ini; none when empty
  WinIni winIni = WinIni::kSection;
  bool phpIni = true;
  long namesLines = 0;          // generated entries added to mibfiles\names.txt
  // The files of an upgrade: the installed VelaScan.exe and VelaScanSrv.exe, the
  // new ones under Temp as .ex_, Tallyback, the icon, the MIB, and the SNMPc
  // folders they go to. The consoles and service executables are copies of
  // serviceBinary (when given), so the installed service, its replacement and
  // a console started from VelaScan.exe really run.
  bool programFiles = false;
  std::filesystem::path serviceBinary;
};

// The program's paths in the installation.
inline constexpr const char* kWindowsDir = "c:\\windows";
inline constexpr const char* kProgramDir = "c:\\VelaScan";
inline constexpr const char* kSnmpcDir = "c:\\SNMPc";

// Throws std::runtime_error with a description when something cannot be made.
void MakeVelaScanDb(const std::filesystem::path& file, const DatabaseOptions& options);
void MakeLumidexDb(const std::filesystem::path& file);
void MakeInstallation(const InstallationOptions& options);

// The folder below drive that a c:\ program path names.
std::filesystem::path OnDrive(const std::filesystem::path& drive, const std::string& programPath);

// Lines in CR LF form, as the program's files have them.
std::string CrLf(std::initializer_list<const char*> lines);

}  // namespace vsu::fixture
