#include <gtest/gtest.h>

#include <functional>

#include "service/nt_service_control.h"
#include "support/fakes.h"
#include "support/table_rows.h"

namespace vsu {
namespace {

using test::PrintTo;

using test::FakeServiceManager;
using test::TestPlatform;
using Calls = std::vector<std::string>;

// Every operation runs in the same frame; only the access and the requests differ.
Calls Frame(const std::string& access, const Calls& requests) {
  Calls calls{"OpenSCManagerA 1", "OpenServiceA Vela Scan " + access};
  calls.insert(calls.end(), requests.begin(), requests.end());
  calls.insert(calls.end(), {"Close service", "Close manager"});
  return calls;
}

struct OperationCase {
  const char* name;
  std::function<void(FakeServiceManager&)> script;
  std::function<std::uint32_t(Platform&)> operation;
  std::uint32_t result;
  Calls calls;
};

const auto kQueryState = [](Platform& p) { return static_cast<std::uint32_t>(ServiceQueryState(p)); };

class OperationTest : public testing::TestWithParam<OperationCase> {};

TEST_P(OperationTest, ReturnsItsResultAndClosesServiceBeforeManager) {
  const auto& c = GetParam();
  TestPlatform t;
  c.script(t.scm);
  EXPECT_EQ(c.operation(t.platform), c.result);
  EXPECT_EQ(t.scm.calls, c.calls);
  EXPECT_EQ(t.scm.faults, Calls{});
  EXPECT_EQ(t.scm.OpenHandles(), 0u);
}

const Calls kManagerRefused{"OpenSCManagerA 1"};

INSTANTIATE_TEST_SUITE_P(
    NTServiceControl, OperationTest,
    testing::Values(
        OperationCase{"QueryStateRunning", [](auto& m) { m.state = 4; }, kQueryState, 4,
                      Frame("4", {"QueryServiceStatus"})},
        OperationCase{"QueryStatePaused", [](auto& m) { m.state = 7; }, kQueryState, 7,
                      Frame("4", {"QueryServiceStatus"})},
        OperationCase{"QueryStateStatusUnreadable", [](auto& m) { m.queryStatusFails = true; }, kQueryState, 0,
                      Frame("4", {"QueryServiceStatus"})},
        OperationCase{"QueryStateNotInstalled", [](auto& m) { m.openServiceError = 1060; }, kQueryState, 0,
                      {"OpenSCManagerA 1", "OpenServiceA Vela Scan 4", "Close manager"}},
        OperationCase{"QueryStateManagerRefused", [](auto& m) { m.openManagerError = 5; }, kQueryState, 0,
                      kManagerRefused},
        OperationCase{"StopAccepted", [](auto& m) { m.state = 4; }, ServiceStop, 0, Frame("32", {"ControlService 1"})},
        OperationCase{"StopNotRunning", [](auto& m) { m.controlError = 1062; }, ServiceStop, 1062,
                      Frame("32", {"ControlService 1"})},
        OperationCase{"StopNotInstalled", [](auto& m) { m.openServiceError = 1060; }, ServiceStop, 1060,
                      {"OpenSCManagerA 1", "OpenServiceA Vela Scan 32", "Close manager"}},
        OperationCase{"StopManagerRefused", [](auto& m) { m.openManagerError = 5; }, ServiceStop, 5,
                      kManagerRefused},
        OperationCase{"RemoveStoppedIgnoresRefusedStop", [](auto& m) { m.controlError = 1062; }, ServiceRemove, 0,
                      Frame("983551", {"ControlService 1", "DeleteService"})},
        OperationCase{"RemoveMarkedForDeletion", [](auto& m) { m.deleteError = 1072; }, ServiceRemove, 1072,
                      Frame("983551", {"ControlService 1", "DeleteService"})},
        OperationCase{"RemoveReportsTheDeleteNotTheStop",
                      [](auto& m) {
                        m.controlError = 1062;
                        m.deleteError = 5;
                      },
                      ServiceRemove, 5, Frame("983551", {"ControlService 1", "DeleteService"})},
        OperationCase{"RemoveNotInstalled", [](auto& m) { m.openServiceError = 1060; }, ServiceRemove, 1060,
                      {"OpenSCManagerA 1", "OpenServiceA Vela Scan 983551", "Close manager"}},
        OperationCase{"StartAccepted", [](auto&) {}, ServiceStart, 0, Frame("16", {"StartServiceA 0"})},
        OperationCase{"StartAlreadyRunning", [](auto& m) { m.startError = 1056; }, ServiceStart, 1056,
                      Frame("16", {"StartServiceA 0"})},
        OperationCase{"StartManagerRefused", [](auto& m) { m.openManagerError = 5; }, ServiceStart, 5,
                      kManagerRefused}),
    [](const auto& info) { return std::string(info.param.name); });

struct ConfigCase {
  const char* name;
  std::uint32_t needed;
  std::vector<std::uint32_t> errors;  // per call
  std::uint32_t result;
  Calls requests;
};

class ConfigTest : public testing::TestWithParam<ConfigCase> {};

TEST_P(ConfigTest, NegotiatesTheBufferInWholeRecords) {
  const auto& c = GetParam();
  TestPlatform t;
  t.scm.configNeeded = c.needed;
  t.scm.configErrors = c.errors;
  EXPECT_EQ(ServiceQueryConfig(t.platform), c.result);
  EXPECT_EQ(t.scm.calls, Frame("1", c.requests));
  EXPECT_EQ(t.scm.faults, Calls{});
  EXPECT_EQ(t.scm.OpenHandles(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    ServiceQueryConfig, ConfigTest,
    testing::Values(ConfigCase{"OneRecordSuffices", 36, {}, 0, {"QueryServiceConfigA 36"}},
                    ConfigCase{"OneByteMore", 37, {}, 0, {"QueryServiceConfigA 36", "QueryServiceConfigA 72"}},
                    ConfigCase{"ExactMultipleGetsOneRecordMore", 72, {}, 0,
                               {"QueryServiceConfigA 36", "QueryServiceConfigA 108"}},
                    ConfigCase{"JustBelowAMultiple", 107, {}, 0, {"QueryServiceConfigA 36", "QueryServiceConfigA 108"}},
                    ConfigCase{"TypicalService", 250, {}, 0, {"QueryServiceConfigA 36", "QueryServiceConfigA 252"}},
                    ConfigCase{"OtherFirstFailureIsTheResult", 36, {5}, 5, {"QueryServiceConfigA 36"}},
                    ConfigCase{"SecondFailureIsTheResult", 100, {0, 1060}, 1060,
                               {"QueryServiceConfigA 36", "QueryServiceConfigA 108"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ServiceQueryConfig, OpenFailureIsTheResult) {
  TestPlatform t;
  t.scm.openServiceError = 1060;
  EXPECT_EQ(ServiceQueryConfig(t.platform), 1060u);
  EXPECT_EQ(t.scm.calls, (Calls{"OpenSCManagerA 1", "OpenServiceA Vela Scan 1", "Close manager"}));
}

}  // namespace
}  // namespace vsu
