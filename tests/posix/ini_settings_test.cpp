// The php.ini and Lumidex.ini readers on real files.

#include <gtest/gtest.h>

#include <array>
#include <optional>

#include "locations/ini_settings.h"
#include "support/case_name.h"
#include "support/fakes.h"
#include "support/posix/temp_dir.h"

namespace vsu {
namespace {

class IniTest : public ::testing::Test {
 protected:
  void Write(const std::string& relative, const std::optional<std::string>& content) {
    if (content) dir_.Write(relative, *content);
  }
  test::TempDir dir_;
  test::ScopedEnv drive_{"VELASCANUPG_DRIVE_C", dir_.str().c_str()};
  test::TestPlatform tp_;
};

struct PhpCase {
  const char* name;
  std::optional<std::string> content;  // none: no php.ini
  std::array<std::string, 3> expected;  // server, source, user; each starts as "old"
};

void PrintTo(const PhpCase& c, std::ostream* os) { *os << c.name; }

class PhpIni : public IniTest, public ::testing::WithParamInterface<PhpCase> {};

TEST_P(PhpIni, SetsTheKeysFound) {
  Write("windows/php.ini", GetParam().content);
  std::array<std::string, 3> values{"old", "old", "old"};
  ReadPhpIniDbSettings(tp_.platform, "c:\\windows", values[0], values[1], values[2]);
  EXPECT_EQ(values, GetParam().expected);
}

const std::string kAll = "SNMPC.DBSERVER=srv\r\nSNMPC.DBSOURCE=src\r\nSNMPC.DBUSER=usr\r\n";
const std::array<std::string, 3> kUntouched{"old", "old", "old"};
const std::array<std::string, 3> kFound{"srv", "src", "usr"};

INSTANTIATE_TEST_SUITE_P(
    Cases, PhpIni,
    ::testing::Values(
        PhpCase{"Missing", std::nullopt, kUntouched},
        PhpCase{"Section", "[PHP]\r\nx=1\r\n[SNMPC]\r\n" + kAll, kFound},
        PhpCase{"HeaderInLowerCase", "[snmpc]\r\n" + kAll, kFound},
        PhpCase{"HeaderWithComment", "[SNMPC] ; the database\r\n" + kAll, kFound},
        PhpCase{"HeaderAfterASpace", " [SNMPC]\r\n" + kAll, kUntouched},
        PhpCase{"NoHeader", kAll, kUntouched},
        PhpCase{"KeysBeforeTheHeaderIgnored", kAll + "[SNMPC]\r\nSNMPC.DBUSER=late\r\n", {"old", "old", "late"}},
        PhpCase{"HeaderOnLastLine", kAll + "[SNMPC]", kUntouched},
        PhpCase{"EmptyFile", "", kUntouched},
        PhpCase{"KeysInAnyCase", "[SNMPC]\r\nsnmpc.dbServer=srv\r\nSnmpc.DbSource=src\r\nsnmpc.dbuser=usr\r\n", kFound},
        PhpCase{"SpaceBeforeEqualsOrKey", "[SNMPC]\r\nSNMPC.DBSERVER =srv\r\n SNMPC.DBSOURCE=src\r\n", kUntouched},
        PhpCase{"LaterSectionOverwrites", "[SNMPC]\r\n" + kAll + "[Other]\r\nSNMPC.DBSERVER=again\r\n",
                {"again", "src", "usr"}},
        PhpCase{"EmptyValue", "[SNMPC]\r\nSNMPC.DBSERVER=\r\n", {"", "old", "old"}},
        PhpCase{"QuotesTabsAndCommentsKept", "[SNMPC]\r\nSNMPC.DBUSER=  \"sa\"\t; admin  \r\n",
                {"old", "old", "\"sa\"\t; admin"}},
        PhpCase{"LineFeedsOnlyMakeOneLine", "[SNMPC]\nSNMPC.DBSERVER=srv\n", kUntouched},
        PhpCase{"LoneCarriageReturns", "[SNMPC]\rSNMPC.DBSOURCE=src\r", {"old", "src", "old"}}),
    test::CaseName());

struct LumidexCase {
  const char* name;
  std::optional<std::string> content;
  std::string expected;  // the address starts empty
};

void PrintTo(const LumidexCase& c, std::ostream* os) { *os << c.name; }

class LumidexIni : public IniTest, public ::testing::WithParamInterface<LumidexCase> {};

TEST_P(LumidexIni, ReadsServerIpAddr) {
  Write("SNMPc/Lumidex.ini", GetParam().content);
  std::string address;
  ReadLumidexServerIpAddr(tp_.platform, "c:\\SNMPc", address);
  EXPECT_EQ(address, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LumidexIni,
    ::testing::Values(LumidexCase{"Missing", std::nullopt, ""},
                      LumidexCase{"Plain", "[Server]\r\nServerIpAddr=10.0.0.1\r\n", "10.0.0.1"},
                      LumidexCase{"SpacesAround", "  ServerIpAddr  =  10.0.0.2  \r\n", "10.0.0.2"},
                      LumidexCase{"OtherCase", "serveripaddr=10.0.0.3\r\n", ""},
                      LumidexCase{"Comment", ";ServerIpAddr=10.0.0.4\r\n", ""},
                      LumidexCase{"AnySectionLastWins", "[A]\r\nServerIpAddr=1.1.1.1\r\n[B]\r\nServerIpAddr=2.2.2.2\r\n",
                                  "2.2.2.2"},
                      LumidexCase{"ValueWithEquals", "ServerIpAddr=a=b\r\n", "a=b"},
                      LumidexCase{"EmptyValue", "ServerIpAddr=\r\n", ""},
                      LumidexCase{"NoEquals", "ServerIpAddr 10.0.0.5\r\n", ""},
                      LumidexCase{"LineFeedsOnlyMakeOneLine", "X=1\nServerIpAddr=10.0.0.6\n", ""}),
    test::CaseName());

}  // namespace
}  // namespace vsu
