// The php.ini and Lumidex.ini readers on real files.

#include <gtest/gtest.h>

#include <array>

#include "locations/ini_settings.h"
#include "support/fakes.h"
#include "support/posix/temp_dir.h"

namespace vsu {
namespace {

using Content = std::optional<std::string>;  // none: no file

class IniTest : public ::testing::Test {
 protected:
  void Put(const std::string& relative, const Content& content) {
    std::filesystem::remove(dir_.path() / relative);
    if (content) dir_.Write(relative, *content);
  }
  test::TempDir dir_;
  test::ScopedEnv drive_{"VELASCANUPG_DRIVE_C", dir_.str().c_str()};
  test::TestPlatform tp_;
};

TEST_F(IniTest, PhpIniSetsTheKeysFoundAfterTheSnmpcHeader) {
  using Values = std::array<std::string, 3>;  // server, source, user; each starts as "old"
  const std::string all = "SNMPC.DBSERVER=srv\r\nSNMPC.DBSOURCE=src\r\nSNMPC.DBUSER=usr\r\n";
  const Values old{"old", "old", "old"}, found{"srv", "src", "usr"};
  for (const auto& [content, expected] : std::vector<std::pair<Content, Values>>{
           {{}, old},
           {"[PHP]\r\nx=1\r\n[SNMPC]\r\n" + all, found},
           {"[snmpc]\r\n" + all, found},
           {"[SNMPC] ; the database\r\n" + all, found},
           {" [SNMPC]\r\n" + all, old},
           {all, old},
           {all + "[SNMPC]\r\nSNMPC.DBUSER=late\r\n", {"old", "old", "late"}},
           {all + "[SNMPC]", old},
           {"", old},
           {"[SNMPC]\r\nsnmpc.dbServer=srv\r\nSnmpc.DbSource=src\r\nsnmpc.dbuser=usr\r\n", found},
           {"[SNMPC]\r\nSNMPC.DBSERVER =srv\r\n SNMPC.DBSOURCE=src\r\n", old},
           {"[SNMPC]\r\n" + all + "[Other]\r\nSNMPC.DBSERVER=again\r\n", {"again", "src", "usr"}},
           {"[SNMPC]\r\nSNMPC.DBSERVER=\r\n", {"", "old", "old"}},
           {"[SNMPC]\r\nSNMPC.DBUSER=  \"sa\"\t; admin  \r\n", {"old", "old", "\"sa\"\t; admin"}}}) {
    Put("windows/php.ini", content);
    Values values = old;
    ReadPhpIniDbSettings(tp_.platform, "c:\\windows", values[0], values[1], values[2]);
    EXPECT_EQ(values, expected) << content.value_or("(no file)");
  }
}

TEST_F(IniTest, LumidexIniGivesTheLastServerIpAddrOfAnySection) {
  for (const auto& [content, expected] : std::vector<std::pair<Content, std::string>>{
           {{}, "old"},
           {"[Server]\r\nServerIpAddr=10.0.0.1\r\n", "10.0.0.1"},
           {"  ServerIpAddr  =  10.0.0.2  \r\n", "10.0.0.2"},
           {"serveripaddr=10.0.0.3\r\n", "old"},
           {";ServerIpAddr=10.0.0.4\r\n", "old"},
           {"[A]\r\nServerIpAddr=1.1.1.1\r\n[B]\r\nServerIpAddr=2.2.2.2\r\n", "2.2.2.2"},
           {"ServerIpAddr=a=b\r\n", "a=b"},
           {"ServerIpAddr=\r\n", ""},
           {"ServerIpAddr 10.0.0.5\r\n", "old"}}) {
    Put("SNMPc/Lumidex.ini", content);
    std::string address = "old";
    ReadLumidexServerIpAddr(tp_.platform, "c:\\SNMPc", address);
    EXPECT_EQ(address, expected) << content.value_or("(no file)");
  }
}

}  // namespace
}  // namespace vsu
