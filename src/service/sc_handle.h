#pragma once

#include <utility>

#include "platform/service_manager.h"

namespace vsu {

// Owns one handle of the service manager and closes it when it goes out of
// scope. Declaring the service handle after the manager handle it was opened
// from makes the service handle close first.
class ScopedScHandle {
 public:
  ScopedScHandle(ServiceManager& scm, ScHandle handle) : scm_(scm), handle_(handle) {}
  ScopedScHandle(const ScopedScHandle&) = delete;
  ScopedScHandle& operator=(const ScopedScHandle&) = delete;
  ~ScopedScHandle() {
    if (handle_ != 0) scm_.CloseServiceHandle(handle_);
  }

  ScHandle get() const { return handle_; }
  explicit operator bool() const { return handle_ != 0; }

 private:
  ServiceManager& scm_;
  ScHandle handle_;
};

}  // namespace vsu
