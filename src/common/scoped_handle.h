#pragma once

namespace vsu {

// Owns one handle that a platform port gave out and hands it back to the port
// when it goes out of scope, on every path. A handle declared after the one it
// was opened through is released before it.
template <typename Port, typename Handle, bool (Port::*Close)(Handle)>
class ScopedHandle {
 public:
  ScopedHandle(Port& port, Handle handle) : port_(port), handle_(handle) {}
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;
  ~ScopedHandle() {
    if (handle_ != 0) (port_.*Close)(handle_);
  }

  Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != 0; }

 private:
  Port& port_;
  Handle handle_;
};

}  // namespace vsu
