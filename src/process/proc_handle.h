#pragma once

#include "platform/process_list.h"

namespace vsu {

// Owns a process or snapshot handle and closes it when it goes out of scope,
// so a match that ends the walk early still releases it.
class ScopedProcHandle {
 public:
  ScopedProcHandle(ProcessList& list, ProcHandle handle) : list_(list), handle_(handle) {}
  ScopedProcHandle(const ScopedProcHandle&) = delete;
  ScopedProcHandle& operator=(const ScopedProcHandle&) = delete;
  ~ScopedProcHandle() {
    if (handle_ != 0) list_.CloseHandle(handle_);
  }

  ProcHandle get() const { return handle_; }
  explicit operator bool() const { return handle_ != 0; }

 private:
  ProcessList& list_;
  ProcHandle handle_;
};

}  // namespace vsu
