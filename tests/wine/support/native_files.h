#pragma once
// The files backend of the platform the tests run on: here the real Windows one.

#include "platform/win32/win32_files.h"

namespace vsu::test {
using NativeFiles = win32::Win32Files;
}  // namespace vsu::test
