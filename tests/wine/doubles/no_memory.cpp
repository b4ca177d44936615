// VelaScanUpg.exe whose upgrade run meets an exception it does not expect: its
// file-copy object cannot be made for want of memory.

#include <new>

#include "main/win32/program.h"
#include "platform/win32/win32_files.h"

namespace {

class FilesWithoutMemory : public vsu::win32::Win32Files {
 public:
  std::unique_ptr<vsu::FileCopier> CreateFileCopier() override { throw std::bad_alloc(); }
};

}  // namespace

int main() {
  FilesWithoutMemory files;
  return vsu::RunOnWindows(&files);
}
