// Each service operation opens with the access it needs, returns its result, closes the service first.

#include <gtest/gtest.h>

#include <functional>

#include "service/nt_service_control.h"
#include "support/fakes.h"

namespace vsu {
namespace {

using Calls = std::vector<std::string>;
using Script = std::function<void(test::FakeServiceManager&)>;

// The frame every operation runs in; without requests, the service's open failed.
Calls Frame(const std::string& access, const Calls& requests = {}) {
  Calls calls{"OpenSCManagerA 1", "OpenServiceA Vela Scan " + access};
  calls.insert(calls.end(), requests.begin(), requests.end());
  if (!requests.empty()) calls.push_back("Close service");
  calls.push_back("Close manager");
  return calls;
}

Script Config(std::uint32_t needed, std::vector<std::uint32_t> errors = {}) {
  return [=](auto& m) { m.configNeeded = needed, m.configErrors = errors; };
}

const auto kQueryState = [](Platform& p) { return static_cast<std::uint32_t>(ServiceQueryState(p)); };

struct OperationCase {
  const char* name;
  Script script;
  std::function<std::uint32_t(Platform&)> operation;
  std::uint32_t result;
  Calls calls;
};

class Operation : public testing::TestWithParam<OperationCase> {};

TEST_P(Operation, ReturnsItsResultAndClosesServiceBeforeManager) {
  const auto& c = GetParam();
  test::TestPlatform t;
  c.script(t.scm);
  EXPECT_EQ(c.operation(t.platform), c.result);
  EXPECT_EQ(t.scm.calls, c.calls);
  EXPECT_EQ(t.scm.faults, Calls{});
  EXPECT_EQ(t.scm.OpenHandles(), 0u);
}

const Calls kQuery{"QueryServiceStatus"}, kStop{"ControlService 1"}, kRemove{"ControlService 1", "DeleteService"};
const auto kNotInstalled = [](auto& m) { m.openServiceError = 1060; };
const auto kNoManager = [](auto& m) { m.openManagerError = 5; };

INSTANTIATE_TEST_SUITE_P(
    NTServiceControl, Operation,
    testing::Values(
        OperationCase{"QueryStateRunning", [](auto& m) { m.state = 4; }, kQueryState, 4, Frame("4", kQuery)},
        OperationCase{"QueryStateUnreadable", [](auto& m) { m.queryStatusFails = true; }, kQueryState, 0,
                      Frame("4", kQuery)},
        OperationCase{"QueryStateNotInstalled", kNotInstalled, kQueryState, 0, Frame("4")},
        OperationCase{"QueryStateManagerRefused", kNoManager, kQueryState, 0, {"OpenSCManagerA 1"}},
        OperationCase{"StopAccepted", [](auto& m) { m.state = 4; }, ServiceStop, 0, Frame("32", kStop)},
        OperationCase{"StopNotRunning", [](auto& m) { m.controlError = 1062; }, ServiceStop, 1062, Frame("32", kStop)},
        OperationCase{"StopNotInstalled", kNotInstalled, ServiceStop, 1060, Frame("32")},
        OperationCase{"StopManagerRefused", kNoManager, ServiceStop, 5, {"OpenSCManagerA 1"}},
        OperationCase{"RemoveStoppedIgnoresRefusedStop", [](auto& m) { m.controlError = 1062; }, ServiceRemove, 0,
                      Frame("983551", kRemove)},
        OperationCase{"RemoveMarkedForDeletion", [](auto& m) { m.deleteError = 1072; }, ServiceRemove, 1072,
                      Frame("983551", kRemove)},
        OperationCase{"RemoveReportsTheDeleteNotTheStop", [](auto& m) { m.controlError = 1062, m.deleteError = 5; },
                      ServiceRemove, 5, Frame("983551", kRemove)},
        OperationCase{"StartAccepted", [](auto&) {}, ServiceStart, 0, Frame("16", {"StartServiceA 0"})},
        OperationCase{"StartAlreadyRunning", [](auto& m) { m.startError = 1056; }, ServiceStart, 1056,
                      Frame("16", {"StartServiceA 0"})},
        // The configuration is asked for in whole records: one, then as many as it needs and one more.
        OperationCase{"ConfigInOneRecord", Config(36), ServiceQueryConfig, 0, Frame("1", {"QueryServiceConfigA 36"})},
        OperationCase{"ConfigOneByteMore", Config(37), ServiceQueryConfig, 0,
                      Frame("1", {"QueryServiceConfigA 36", "QueryServiceConfigA 72"})},
        OperationCase{"ConfigExactMultipleGetsOneRecordMore", Config(72), ServiceQueryConfig, 0,
                      Frame("1", {"QueryServiceConfigA 36", "QueryServiceConfigA 108"})},
        OperationCase{"ConfigOtherFirstFailureIsTheResult", Config(36, {5}), ServiceQueryConfig, 5,
                      Frame("1", {"QueryServiceConfigA 36"})},
        OperationCase{"ConfigSecondFailureIsTheResult", Config(100, {0, 1060}), ServiceQueryConfig, 1060,
                      Frame("1", {"QueryServiceConfigA 36", "QueryServiceConfigA 108"})}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vsu
