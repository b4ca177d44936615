#include <gtest/gtest.h>

#include "platform/win32/win32_system.h"

namespace vsu::win32 {
namespace {

TEST(ArgumentText, FollowsAQuotedProgramPath) {
  EXPECT_EQ(ArgumentText("\"C:\\Program Files\\Vela Scan\\VelaScanUpg.exe\" C:\\Vela Scan\\"),
            "C:\\Vela Scan\\");
  EXPECT_EQ(ArgumentText("\"C:\\x y\\VelaScanUpg.exe\""), "");
}

TEST(ArgumentText, FollowsAPlainProgramPathAndItsBlanks) {
  EXPECT_EQ(ArgumentText("VelaScanUpg.exe   -uninstall {ABC}"), "-uninstall {ABC}");
  EXPECT_EQ(ArgumentText("c:\\v\\VelaScanUpg.exe"), "");
}

TEST(ArgumentText, KeepsTrailingBlanksAndQuotesOfTheArgument) {
  EXPECT_EQ(ArgumentText("a.exe \"c:\\dir\"  "), "\"c:\\dir\"  ");
}

TEST(DirectoryOf, DropsTheFileNameAndKeepsADriveRoot) {
  EXPECT_EQ(DirectoryOf("C:\\Program Files\\Vela Scan\\VelaScanUpg.exe"), "C:\\Program Files\\Vela Scan");
  EXPECT_EQ(DirectoryOf("C:\\VelaScanUpg.exe"), "C:\\");
  EXPECT_EQ(DirectoryOf("VelaScanUpg.exe"), "");
}

TEST(Win32System, ReadsTheRealProcess) {
  Win32System system;
  const std::string own = system.OwnDirectory();
  ASSERT_FALSE(own.empty());
  EXPECT_NE(own.back(), '\\');
  char buffer[250];
  const unsigned length = system.GetWindowsDirectoryA(buffer, sizeof buffer);
  ASSERT_GT(length, 0u);
  EXPECT_EQ(std::string(buffer, length).size(), length);
}

}  // namespace
}  // namespace vsu::win32
