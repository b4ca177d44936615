// The Windows program: the platform with the real files.

#include "platform/win32/win32_files.h"
#include "platform/win32/win32_program.h"

int main() {
  vsu::win32::Win32Files files;
  return vsu::win32::RunOnWindows(files);
}
