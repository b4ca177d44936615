#pragma once
// An owned COM interface pointer, released on every path.

#include <utility>

namespace vsu::win32 {

template <typename T>
class ComRef {
 public:
  ComRef() = default;
  // Takes over a reference the caller holds.
  explicit ComRef(T* object) : object_(object) {}
  ~ComRef() { Reset(); }
  ComRef(ComRef&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
  ComRef& operator=(ComRef&& other) noexcept {
    if (this != &other) {
      Reset();
      object_ = std::exchange(other.object_, nullptr);
    }
    return *this;
  }
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;

  T* get() const { return object_; }
  T* operator->() const { return object_; }
  explicit operator bool() const { return object_ != nullptr; }
  // Where a call that hands out a reference puts it; what was held is released first.
  T** Out() {
    Reset();
    return &object_;
  }
  void Reset() {
    if (object_) object_->Release();
    object_ = nullptr;
  }

 private:
  T* object_ = nullptr;
};

}  // namespace vsu::win32
