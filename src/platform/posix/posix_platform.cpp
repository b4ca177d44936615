#include "platform/posix/posix_platform.h"

#include "platform/posix/database_files.h"

namespace vsu::posix {

PosixPlatform::PosixPlatform(std::vector<std::string> args, WindowToolkit& ui, Transcript& log)
    : system_(std::move(args)),
      db_(MapDatabaseFile),
      platform_{system_, files_, clock_, ui, log, db_, scm_, processes_, launcher_, ip_} {}

}  // namespace vsu::posix
