// VelaScanUpg.exe whose upgrade run meets an exception it does not expect: no memory for its file-copy object.

#include <new>

#include "main/win32/program.h"
#include "platform/win32/win32_files.h"

struct FilesWithoutMemory : vsu::win32::Win32Files {
  std::unique_ptr<vsu::FileCopier> CreateFileCopier() override { throw std::bad_alloc(); }
};

int main() {
  FilesWithoutMemory files;
  return vsu::RunOnWindows(&files);
}
