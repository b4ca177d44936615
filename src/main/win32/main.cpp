// The program on Windows: the real services, Win32 windows (or the batch
// interface), and the transcript when VELASCANUPG_LOG names a file.

#include "main/win32/program.h"

int main() { return vsu::RunOnWindows(); }
