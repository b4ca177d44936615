#pragma once
// The steps that carry a settings database from one schema version to the
// next, as data: what each step executes, which rows it fills and which
// columns it sets on the version row.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/database.h"

namespace vsu {

struct SchemaVersion {
  std::int16_t major = 0;
  std::int16_t minor = 0;
};

// Major from the first character, minor from the last two; the point between
// is never looked at. Throws Failure when either is not a number.
SchemaVersion ParseVersion(const std::string& text);

// One statement, or (statement null) a pause of pauseMs.
struct LadderAction {
  const char* statement = nullptr;
  std::int16_t pauseMs = 0;
};

struct ColumnValue {
  const char* column;
  FieldValue value;
};

struct LadderStep {
  const char* version;                 // recorded in ProgVersion when the step is done
  std::int16_t major;                  // the step runs on this major version...
  std::int16_t belowMinor;             // ...with a minor version below this
  std::vector<LadderAction> actions;
  const char* fillTable = nullptr;     // every row of it gets fill
  std::vector<ColumnValue> fill;
  std::vector<ColumnValue> versionRow;  // set on the version row with ProgVersion
};

// The steps in their order; any version from 2.00 to 3.13 climbs to the last.
const std::vector<LadderStep>& SchemaLadder();

}  // namespace vsu
