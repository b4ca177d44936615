// msiexec.exe for the uninstall run: appends its command line, as the platform delivers it, to env VSU_FAKE_MSIEXEC_LOG's file.

#include <windows.h>

#include <cstdio>
#include <cstdlib>

int main() {
  const char* log = std::getenv("VSU_FAKE_MSIEXEC_LOG");
  std::FILE* out = log ? std::fopen(log, "ab") : nullptr;
  return out && std::fprintf(out, "%s\n", GetCommandLineA()) > 0 && std::fclose(out) == 0 ? 0 : 1;
}
