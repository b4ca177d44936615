#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/text.h"
#include "platform/win32/win32_process_list.h"

namespace vsu::win32 {
namespace {

TEST(Win32ProcessList, ReportsTheNtFamily) {
  Win32ProcessList list;
  VersionInfoRecord info;
  info.dwOSVersionInfoSize = sizeof info;
  std::fill(std::begin(info.szCSDVersion), std::end(info.szCSDVersion), ' ');
  ASSERT_TRUE(list.GetVersionExA(&info));
  EXPECT_EQ(info.dwPlatformId, kPlatformNt);
}

TEST(Win32ProcessList, FindsThisProcessOnTheProcessStatusRoad) {
  Win32ProcessList list;
  std::vector<std::uint32_t> ids(4096);
  std::uint32_t returned = 0;
  ASSERT_TRUE(list.EnumProcesses(ids.data(), static_cast<std::uint32_t>(ids.size() * 4), &returned));
  ids.resize(returned / 4);
  ASSERT_NE(std::find(ids.begin(), ids.end(), GetCurrentProcessId()), ids.end());

  const ProcHandle process = list.OpenProcess(kProcessQueryAndReadAccess, false, GetCurrentProcessId());
  ASSERT_NE(process, 0u);
  ModHandle modules[50] = {};
  std::uint32_t needed = 0;
  ASSERT_TRUE(list.EnumProcessModules(process, modules, 200, &needed));
  std::string path(260, ' ');
  list.GetModuleFileNameExA(process, modules[0], path.data(), 260);
  EXPECT_TRUE(ContainsIgnoringCase(path, "velascan_win_tests.exe")) << path;
  EXPECT_TRUE(list.CloseHandle(process));
}

TEST(Win32ProcessList, FindsThisProcessOnTheToolhelpRoad) {
  Win32ProcessList list;
  const ProcHandle snapshot = list.CreateToolhelp32Snapshot(kSnapshotProcesses, 0);
  ASSERT_NE(snapshot, 0u);
  ProcessEntryRecord entry;
  entry.dwSize = sizeof entry;
  bool found = false;
  for (bool delivered = list.Process32First(snapshot, &entry); delivered && !found;
       delivered = list.Process32Next(snapshot, &entry)) {
    found = entry.th32ProcessID == GetCurrentProcessId() &&
            ContainsIgnoringCase(std::string(entry.szExeFile, 259), "velascan_win_tests.exe");
  }
  EXPECT_TRUE(found);
  EXPECT_TRUE(list.CloseHandle(snapshot));
}

TEST(Win32ProcessList, AProcessThatDoesNotExistCannotBeOpened) {
  Win32ProcessList list;
  EXPECT_EQ(list.OpenProcess(kProcessQueryAndReadAccess, false, 0), 0u);
}

}  // namespace
}  // namespace vsu::win32
