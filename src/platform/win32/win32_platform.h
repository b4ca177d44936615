#pragma once
// The real Windows services, made into the program's platform.

#include "platform/platform.h"
#include "platform/win32/com_apartment.h"
#include "platform/win32/win32_clock.h"
#include "platform/win32/win32_database.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_ip_info.h"
#include "platform/win32/win32_launcher.h"
#include "platform/win32/win32_process_list.h"
#include "platform/win32/win32_service_manager.h"
#include "platform/win32/win32_system.h"

namespace vsu::win32 {

class Win32Platform {
 public:
  // ui and log are the run's window toolkit and transcript, which the backend does not own.
  Win32Platform(WindowToolkit& ui, Transcript& log);
  Win32Platform(const Win32Platform&) = delete;
  Win32Platform& operator=(const Win32Platform&) = delete;
  Platform& platform() { return platform_; }

 private:
  // ADO and the file-copy object need COM on this thread before their first use.
  ComApartment com_;
  Win32System system_;
  Win32Files files_;
  Win32Clock clock_;
  Win32Database db_;
  Win32ServiceManager scm_;
  Win32ProcessList processes_;
  Win32Launcher launcher_;
  Win32IpInfo ip_;
  Platform platform_;
};

}  // namespace vsu::win32
