#include "safety/report.h"

#include "common/failure.h"

namespace vsu {

void SafetyReport::Add(const std::string& item, bool ok, const std::string& detail) {
  if (!ok) ++failures_;
  lines_.push_back((ok ? "ok    " : "FAIL  ") + item + ": " + detail);
  log_.Log(event_, {{"item", item}, {"ok", ok}, {"detail", detail}});
}

int SafetyReport::Finish(WindowToolkit& ui, const std::string& title, const std::string& whenOk,
                         const std::string& whenFailed) {
  lines_.push_back(failures_ == 0 ? std::string(event_) + ": " + whenOk
                                  : std::string(event_) + ": " + std::to_string(failures_) +
                                        (failures_ == 1 ? " item " : " items ") + whenFailed);
  ui.ShowReport(title, lines_);
  return failures_ == 0 ? kExitDone : kExitFailed;
}

}  // namespace vsu
