#pragma once
// What the check and the restore tell the administrator: one line per item,
// "ok" or "FAIL" first, and the same as one transcript event per item
// (item, ok, detail).

#include <string>
#include <vector>

#include "common/transcript.h"
#include "platform/views.h"

namespace vsu {

class SafetyReport {
 public:
  // event names the transcript events: "check", "backup" or "restore".
  SafetyReport(Transcript& log, const char* event) : log_(log), event_(event) {}
  void Add(const std::string& item, bool ok, const std::string& detail);
  bool AllOk() const { return failures_ == 0; }
  const std::vector<std::string>& Lines() const { return lines_; }
  // Closes the report with a summary line ("check: nothing would fail",
  // "check: 2 items would fail"), shows it and returns the exit status: 0
  // when every item was ok, else 1.
  int Finish(WindowToolkit& ui, const std::string& title, const std::string& whenOk, const std::string& whenFailed);

 private:
  Transcript& log_;
  const char* event_;
  std::vector<std::string> lines_;
  int failures_ = 0;
};

}  // namespace vsu
