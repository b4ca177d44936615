// make-fixture: creates a throw-away Vela Scan installation in a folder that
// stands for drive C.

#include <cstdlib>
#include <iostream>
#include <string>

#include "make_fixture/fixture.h"

namespace {

constexpr const char* kUsage = R"(Usage: make-fixture --dir DIR [options]

Creates a throw-away Vela Scan installation in DIR, a folder that stands for
drive C (point VELASCANUPG_DRIVE_C at it):
  DIR/windows       win.ini, php.ini                (c:\windows)
  DIR/VelaScan      VelaScan.mdb                    (c:\VelaScan)
  DIR/SNMPc         snmpc.ini, mibfiles/names.txt   (c:\SNMPc)

Options:
  --dir DIR               the folder for drive C (required; created if missing)
  --version M.NN          schema version of VelaScan.mdb, 2.00 to 3.14 (default 3.14);
                          the columns later versions add are there exactly when
                          this version has them
  --stored-version TEXT   store TEXT in ProgVersion instead (e.g. 1.90, 4.00, "")
  --rows N                rows in SuppGrp_Perm and Maintenance (default 3)
  --snmpc-path TEXT       the stored SnmpcPath (default c:\SNMPc)
  --no-settings-row       leave Settings_General without its row
  --lumidex               add Lumidex.mdb (Settings_Console) and Lumidex.ini
  --server-ip ADDR        ServerIpAddr in Lumidex.ini (default: none)
  --win-ini MODE          section: with [SNMPc Network Manager] DIR=c:\SNMPc (default)
                          plain: without that section; none: no win.ini
  --no-php-ini            no php.ini
  --names-lines N         add N generated entries to names.txt (default 0)
  --program-files         add the files an upgrade replaces and copies: VelaScan.exe
                          and VelaScanSrv.exe, the new ones under Temp as .ex_,
                          Tallyback.ex_, VelaScan.ico, Ferrowin.mib
  --service-binary PATH   both VelaScanSrv files are copies of PATH (implies
                          --program-files; default: a placeholder script)
  --print-env             print the shell lines that point the program at DIR
  --help                  this text
)";

[[noreturn]] void UsageError(const std::string& message) {
  std::cerr << "make-fixture: " << message << "\n(make-fixture --help lists the options)\n";
  std::exit(2);
}

long Count(const std::string& option, const char* text) {
  char* end = nullptr;
  const long value = std::strtol(text, &end, 10);
  if (*text == '\0' || *end != '\0' || value < 0) UsageError(option + " needs a count, not \"" + text + "\"");
  return value;
}

std::string ShellQuoted(const std::string& text) {
  std::string out = "'";
  for (const char c : text) {
    if (c == '\'') out += "'\\''";
    else out += c;
  }
  return out + "'";
}

}  // namespace

int main(int argc, char** argv) {
  using namespace vsu::fixture;
  InstallationOptions options;
  bool printEnv = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const auto value = [&]() -> const char* {
      if (i + 1 >= argc) UsageError(arg + " needs a value");
      return argv[++i];
    };
    if (arg == "--help" || arg == "-h") {
      std::cout << kUsage;
      return 0;
    } else if (arg == "--dir") {
      options.drive = value();
    } else if (arg == "--version") {
      options.database.version = value();
    } else if (arg == "--stored-version") {
      options.database.storedVersion = value();
    } else if (arg == "--rows") {
      options.database.rows = Count(arg, value());
    } else if (arg == "--snmpc-path") {
      options.database.snmpcPath = value();
    } else if (arg == "--no-settings-row") {
      options.database.settingsRow = false;
    } else if (arg == "--lumidex") {
      options.lumidex = true;
    } else if (arg == "--server-ip") {
      options.serverIpAddr = value();
    } else if (arg == "--win-ini") {
      const std::string mode = value();
      if (mode == "section") options.winIni = WinIni::kSection;
      else if (mode == "plain") options.winIni = WinIni::kPlain;
      else if (mode == "none") options.winIni = WinIni::kNone;
      else UsageError("--win-ini takes section, plain or none, not \"" + mode + "\"");
    } else if (arg == "--no-php-ini") {
      options.phpIni = false;
    } else if (arg == "--names-lines") {
      options.namesLines = Count(arg, value());
    } else if (arg == "--program-files") {
      options.programFiles = true;
    } else if (arg == "--service-binary") {
      options.programFiles = true;
      options.serviceBinary = value();
    } else if (arg == "--print-env") {
      printEnv = true;
    } else {
      UsageError("unknown option \"" + arg + "\"");
    }
  }
  if (options.drive.empty()) UsageError("--dir is required");
  try {
    MakeInstallation(options);
  } catch (const std::exception& e) {
    std::cerr << "make-fixture: " << e.what() << "\n";
    return 1;
  }
  if (printEnv) {
    std::cout << "export VELASCANUPG_DRIVE_C=" << ShellQuoted(std::filesystem::absolute(options.drive).string())
              << "\nexport WINDIR=" << ShellQuoted(kWindowsDir) << "\n";
  }
  return 0;
}
