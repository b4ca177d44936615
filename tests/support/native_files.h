#pragma once
// The files backend of the platform the tests run on: here the Linux stand-in.
// The Windows test build finds its own header of this name first.

#include "platform/posix/posix_files.h"

namespace vsu::test {
using NativeFiles = posix::PosixFiles;
}  // namespace vsu::test
