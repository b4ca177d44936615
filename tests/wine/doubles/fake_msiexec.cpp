// msiexec.exe for the uninstall run: appends its command line, as the platform
// delivers it, to the file env VSU_FAKE_MSIEXEC_LOG names.

#include <windows.h>

#include <cstdio>
#include <cstdlib>

int main() {
  const char* log = std::getenv("VSU_FAKE_MSIEXEC_LOG");
  std::FILE* out = log ? std::fopen(log, "ab") : nullptr;
  if (!out) return 1;
  std::fprintf(out, "%s\n", GetCommandLineA());
  return std::fclose(out) == 0 ? 0 : 1;
}
