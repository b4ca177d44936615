// msiexec.exe for the uninstall test: appends its command line, as the
// platform delivers it, to the file env VSU_FAKE_MSIEXEC_LOG names, and ends.

#include <windows.h>

#include <cstdio>
#include <cstdlib>

int main() {
  const char* log = std::getenv("VSU_FAKE_MSIEXEC_LOG");
  if (!log) return 1;
  std::FILE* out = std::fopen(log, "ab");
  if (!out) return 1;
  std::fprintf(out, "%s\n", GetCommandLineA());
  std::fclose(out);
  return 0;
}
