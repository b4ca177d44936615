#include "platform/win32/com_apartment.h"

#include <windows.h>
// After windows.h, which it builds on.
#include <objbase.h>

namespace vsu::win32 {

ComApartment::ComApartment() { initialised_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)); }

ComApartment::~ComApartment() {
  if (initialised_) CoUninitialize();
}

}  // namespace vsu::win32
