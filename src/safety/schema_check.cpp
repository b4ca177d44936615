#include "safety/schema_check.h"

#include <map>
#include <optional>
#include <set>

#include "common/failure.h"
#include "common/text.h"
#include "database/connection_strings.h"
#include "database/schema_ladder.h"
#include "database/tables.h"
#include "upgrade/upgrade_sequence.h"

namespace vsu {
namespace {

// What one ladder statement adds: a table with its columns, or a column.
struct SchemaChange {
  bool createsTable = false;
  std::string table;
  std::vector<std::string> columns;
};

std::vector<std::string> Words(const std::string& text) {
  std::vector<std::string> words;
  std::string word;
  for (const char c : text + " ") {
    if (c != ' ' && c != '(' && c != ')' && c != ',') {
      word += c;
    } else if (!word.empty()) {
      words.push_back(std::exchange(word, {}));
    }
  }
  return words;
}

// "CREATE TABLE T (A type, B type)" or "ALTER TABLE T ADD COLUMN C type".
std::optional<SchemaChange> ChangeOf(const std::string& statement) {
  const auto words = Words(statement);
  if (words.size() >= 3 && UpperCase(words[0]) == "CREATE" && UpperCase(words[1]) == "TABLE") {
    SchemaChange change{true, words[2], {}};
    const auto open = statement.find('(');
    std::size_t start = open + 1;
    for (int depth = 0; open != std::string::npos && start <= statement.size();) {
      std::size_t end = start;
      for (; end < statement.size() && !(depth == 0 && (statement[end] == ',' || statement[end] == ')')); ++end) {
        depth += statement[end] == '(' ? 1 : statement[end] == ')' ? -1 : 0;
      }
      if (const auto column = Words(statement.substr(start, end - start)); !column.empty()) {
        change.columns.push_back(column[0]);
      }
      if (end >= statement.size() || statement[end] == ')') break;
      start = end + 1;
    }
    return change;
  }
  if (words.size() >= 6 && UpperCase(words[0]) == "ALTER" && UpperCase(words[3]) == "ADD" &&
      UpperCase(words[4]) == "COLUMN") {
    return SchemaChange{false, words[2], {words[5]}};
  }
  return std::nullopt;
}

// Table and column names as the engines compare them: ignoring case.
using Schema = std::map<std::string, std::set<std::string>>;

void LoadTable(Platform& p, Connection& connection, const std::string& table, Schema& schema) {
  if (schema.count(UpperCase(table))) return;
  try {
    const auto recordset = OpenTable(p.db, connection, table);
    auto& columns = schema[UpperCase(table)];
    for (const auto& name : recordset->FieldNames()) columns.insert(UpperCase(name));
    recordset->Close();
  } catch (const Failure&) {
    // Missing, as far as the ladder is concerned: its statements on it fail.
  }
}

// Why the step would fail on schema, or "" when its changes fit.
std::string Apply(const LadderStep& step, Schema& schema) {
  for (const LadderAction& action : step.actions) {
    if (!action.statement) continue;
    const auto change = ChangeOf(action.statement);
    if (!change) continue;
    const std::string table = UpperCase(change->table);
    if (change->createsTable) {
      if (schema.count(table)) return "the table " + change->table + " exists already";
      auto& columns = schema[table];
      for (const auto& column : change->columns) columns.insert(UpperCase(column));
      continue;
    }
    if (!schema.count(table)) return "there is no table " + change->table;
    for (const auto& column : change->columns) {
      if (!schema[table].insert(UpperCase(column)).second) {
        return "the column " + change->table + "." + column + " exists already";
      }
    }
  }
  const auto needs = [&](const char* table, const std::vector<ColumnValue>& values) -> std::string {
    if (!schema.count(UpperCase(table))) return std::string("there is no table ") + table;
    for (const auto& value : values) {
      if (!schema[UpperCase(table)].count(UpperCase(value.column))) {
        return std::string("the table ") + table + " has no column " + value.column;
      }
    }
    return "";
  };
  if (step.fillTable) {
    if (auto why = needs(step.fillTable, step.fill); !why.empty()) return why;
  }
  return needs("Settings_General", step.versionRow);
}

}  // namespace

void CheckSchema(Platform& p, const InstallationState& s, const std::string& version, SafetyReport& report) {
  if (version == kTargetVersion) {
    report.Add("schema", true, std::string("at ") + kTargetVersion + ": no step runs");
    return;
  }
  std::vector<const LadderStep*> steps;
  try {
    SchemaVersion at = ParseVersion(version);
    for (const LadderStep& step : SchemaLadder()) {
      if (at.major != step.major || at.minor >= step.belowMinor) continue;
      steps.push_back(&step);
      at = ParseVersion(step.version);
    }
  } catch (const Failure& failure) {
    report.Add("schema", false, failure.Description() + ": the schema upgrade would show this and change nothing");
    return;
  }
  if (steps.empty()) {
    report.Add("schema", true, "version " + version + " lies outside the ladder: no step runs");
    return;
  }
  Schema schema;
  try {
    const auto connection = OpenConnection(p.db, VelaScanConnectString(s.ProgramDir), adModeRead);
    LoadTable(p, *connection, "Settings_General", schema);
    for (const LadderStep* step : steps) {
      for (const LadderAction& action : step->actions) {
        if (const auto change = action.statement ? ChangeOf(action.statement) : std::nullopt) {
          LoadTable(p, *connection, change->table, schema);
        }
      }
      if (step->fillTable) LoadTable(p, *connection, step->fillTable, schema);
    }
    connection->Close();
  } catch (const Failure& failure) {
    report.Add("schema", false, failure.Description());
    return;
  }
  std::string reached = version;
  std::string names;
  for (const LadderStep* step : steps) {
    if (const auto why = Apply(*step, schema); !why.empty()) {
      report.Add(std::string("schema step ") + step->version, false,
                 why + "; the schema upgrade would stop there, at version " + reached);
      return;
    }
    reached = step->version;
    names += (names.empty() ? "" : ", ") + reached;
  }
  report.Add("schema", true, version + " to " + reached + " through steps " + names);
}

}  // namespace vsu
