#pragma once
// The Windows program around its files: what main runs, and what a test runs
// with files of its own.

#include "platform/files.h"

namespace vsu::win32 {

// Builds the Windows platform with files and runs the start-up window; returns
// the exit status. A failure before the windows exist is shown in a message box
// and ends with status 1.
int RunOnWindows(Files& files);

}  // namespace vsu::win32
