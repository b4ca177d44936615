#pragma once
// The files and database backends of the platform the tests run on: here the
// Linux stand-ins. The Windows test build finds its own header of this name first.

#include "platform/posix/posix_files.h"
#include "platform/posix/sqlite_database.h"

namespace vsu::test {
using NativeFiles = posix::PosixFiles;
using NativeDatabase = posix::SqliteDatabase;
}  // namespace vsu::test
