#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/win32/win32_files.h"
#include "platform/win32/win32_ip_info.h"
#include "platform/win32/win32_launcher.h"
#include "platform/win32/win32_system.h"
#include "support/case_name.h"

namespace vsu::win32 {
namespace {

struct TextCase {
  const char* name;
  std::string (*function)(const std::string&);
  const char* text;
  const char* expected;
};

class CommandTextTest : public ::testing::TestWithParam<TextCase> {};

// How the program reads its own command line and the commands it starts.
TEST_P(CommandTextTest, Reads) { EXPECT_EQ(GetParam().function(GetParam().text), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(
    Cases, CommandTextTest,
    ::testing::Values(
        TextCase{"arguments_after_a_quoted_path", ArgumentText, "\"C:\\Vela Scan\\Upg.exe\" C:\\Vela Scan\\",
                 "C:\\Vela Scan\\"},
        TextCase{"no_arguments_after_a_quoted_path", ArgumentText, "\"C:\\x y\\Upg.exe\"", ""},
        TextCase{"arguments_after_a_plain_path_and_its_blanks", ArgumentText, "Upg.exe \t -uninstall {A}",
                 "-uninstall {A}"},
        TextCase{"no_arguments_after_a_plain_path", ArgumentText, "c:\\v\\Upg.exe", ""},
        TextCase{"arguments_keep_their_quotes_and_blanks", ArgumentText, "a.exe \"c:\\dir\"  ", "\"c:\\dir\"  "},
        TextCase{"directory_of_a_program", DirectoryOf, "C:\\Program Files\\Vela Scan\\Upg.exe",
                 "C:\\Program Files\\Vela Scan"},
        TextCase{"directory_of_a_program_in_a_root", DirectoryOf, "C:\\Upg.exe", "C:\\"},
        TextCase{"directory_of_a_bare_name", DirectoryOf, "Upg.exe", ""},
        TextCase{"program_of_a_command", ProgramName, "msiexec.exe /uninstall {X}", "msiexec.exe"},
        TextCase{"program_of_a_quoted_command", ProgramName, "\"c:\\a b\\x.exe\" /y", "c:\\a b\\x.exe"},
        TextCase{"program_alone", ProgramName, "msiexec.exe", "msiexec.exe"}),
    test::CaseName{});

// The process's own directory, the Windows directory, a long environment value
// and this machine's IPv4 address, as the system gives them.
TEST(Win32System, ReadsTheRealProcess) {
  Win32System system;
  EXPECT_TRUE(Win32Files().FileExists(system.OwnDirectory() + "\\velascan_win_tests.exe")) << system.OwnDirectory();
  char buffer[250];
  const unsigned length = system.GetWindowsDirectoryA(buffer, sizeof buffer);
  EXPECT_TRUE(Win32Files().FileExists(std::string(buffer, length) + "\\win.ini"));
  _putenv_s("VSU_LONG_VALUE", std::string(300, 'x').c_str());
  EXPECT_EQ(system.EnvironmentValue("VSU_LONG_VALUE"), std::string(300, 'x'));
  const std::string address = Win32IpInfo().LocalAddress();
  int a = -1, b = -1, c = -1, d = -1;
  ASSERT_EQ(std::sscanf(address.c_str(), "%d.%d.%d.%d", &a, &b, &c, &d), 4) << address;
  EXPECT_TRUE(a != 127 || address == "127.0.0.1") << address;
}

}  // namespace
}  // namespace vsu::win32
