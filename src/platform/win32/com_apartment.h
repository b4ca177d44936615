#pragma once

namespace vsu::win32 {

// COM for the calling thread (a single-threaded apartment, as ADO's objects
// expect), from construction to destruction.
class ComApartment {
 public:
  ComApartment();
  ~ComApartment();
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

 private:
  bool initialised_ = false;
};

}  // namespace vsu::win32
