#pragma once
// The files and database backends of the platform the tests run on: here the real Windows ones.

#include "platform/win32/win32_database.h"
#include "platform/win32/win32_files.h"

namespace vsu::test {
using NativeFiles = win32::Win32Files;
using NativeDatabase = win32::Win32Database;
}  // namespace vsu::test
