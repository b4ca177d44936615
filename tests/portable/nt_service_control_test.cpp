// Each service operation opens with the access it needs, returns its result, closes the service first.

#include "service/nt_service_control.h"
#include "support/fakes.h"
#include "support/testing.h"

namespace vsu { namespace {

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

struct OperationCase {
  const char* name;
  Script script;
  std::function<std::uint32_t(Platform&)> operation;
  std::uint32_t result;
  Calls calls;
};

TEST(NTServiceControl, EachOperationReturnsItsResultAndClosesServiceBeforeManager) {
  const auto query = [](Platform& p) { return static_cast<std::uint32_t>(ServiceQueryState(p)); };
  const auto notInstalled = [](auto& m) { m.openServiceError = 1060; };
  const auto noManager = [](auto& m) { m.openManagerError = 5; };
  const Calls kQuery{"QueryServiceStatus"}, kStop{"ControlService 1"}, kRemove{"ControlService 1", "DeleteService"};
  const Calls kStart{"StartServiceA 0"}, kConfig1{"QueryServiceConfigA 36"};
  const Calls kConfig3{"QueryServiceConfigA 36", "QueryServiceConfigA 108"};
  for (const OperationCase& c : std::vector<OperationCase>{
           {"QueryStateRunning", [](auto& m) { m.state = 4; }, query, 4, Frame("4", kQuery)},
           {"QueryStateUnreadable", [](auto& m) { m.queryStatusFails = true; }, query, 0, Frame("4", kQuery)},
           {"QueryStateNotInstalled", notInstalled, query, 0, Frame("4")},
           {"QueryStateManagerRefused", noManager, query, 0, {"OpenSCManagerA 1"}},
           {"StopAccepted", [](auto& m) { m.state = 4; }, ServiceStop, 0, Frame("32", kStop)},
           {"StopNotRunning", [](auto& m) { m.controlError = 1062; }, ServiceStop, 1062, Frame("32", kStop)},
           {"StopNotInstalled", notInstalled, ServiceStop, 1060, Frame("32")},
           {"StopManagerRefused", noManager, ServiceStop, 5, {"OpenSCManagerA 1"}},
           {"RemoveStoppedIgnoresRefusedStop", [](auto& m) { m.controlError = 1062; }, ServiceRemove, 0,
            Frame("983551", kRemove)},
           {"RemoveMarkedForDeletion", [](auto& m) { m.deleteError = 1072; }, ServiceRemove, 1072,
            Frame("983551", kRemove)},
           {"RemoveReportsTheDeleteNotTheStop", [](auto& m) { m.controlError = 1062, m.deleteError = 5; },
            ServiceRemove, 5, Frame("983551", kRemove)},
           {"StartAccepted", [](auto&) {}, ServiceStart, 0, Frame("16", kStart)},
           {"StartAlreadyRunning", [](auto& m) { m.startError = 1056; }, ServiceStart, 1056, Frame("16", kStart)},
           // The configuration is asked for in whole records: one, then as many as it needs and one more.
           {"ConfigInOneRecord", Config(36), ServiceQueryConfig, 0, Frame("1", kConfig1)},
           {"ConfigOneByteMore", Config(37), ServiceQueryConfig, 0,
            Frame("1", {"QueryServiceConfigA 36", "QueryServiceConfigA 72"})},
           {"ConfigExactMultipleGetsOneRecordMore", Config(72), ServiceQueryConfig, 0, Frame("1", kConfig3)},
           {"ConfigOtherFirstFailureIsTheResult", Config(36, {5}), ServiceQueryConfig, 5, Frame("1", kConfig1)},
           {"ConfigSecondFailureIsTheResult", Config(100, {0, 1060}), ServiceQueryConfig, 1060,
            Frame("1", kConfig3)}}) {
    SCOPED_TRACE(c.name);
    test::TestPlatform t;
    c.script(t.scm);
    EXPECT_EQ(c.operation(t.platform), c.result);
    EXPECT_EQ(t.scm.calls, c.calls);
    EXPECT_EQ(t.scm.faults, Calls{});
    EXPECT_EQ(t.scm.OpenHandles(), 0u);
  }
}

}}  // namespace vsu
