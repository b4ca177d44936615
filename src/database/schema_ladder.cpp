#include "database/schema_ladder.h"

#include "common/failure.h"

namespace vsu {
namespace {

// Plain digits only: a version text in any other form is no version.
std::int16_t VersionNumber(const std::string& text, const std::string& part) {
  if (part.empty()) throw Failure("Type mismatch: the version \"" + text + "\" has no number");
  std::int16_t value = 0;
  for (const char c : part) {
    if (c < '0' || c > '9') {
      throw Failure("Type mismatch: \"" + part + "\" of the version \"" + text + "\" is not a number");
    }
    value = static_cast<std::int16_t>(value * 10 + (c - '0'));
  }
  return value;
}

LadderAction Sql(const char* statement) { return {statement, 0}; }
LadderAction Wait(std::int16_t ms) { return {nullptr, ms}; }

}  // namespace

SchemaVersion ParseVersion(const std::string& text) {
  const std::string minor = text.size() > 2 ? text.substr(text.size() - 2) : text;
  return {VersionNumber(text, text.substr(0, 1)), VersionNumber(text, minor)};
}

const std::vector<LadderStep>& SchemaLadder() {
  static const std::vector<LadderStep> steps = {
      {"2.01", 2, 1,
       {Sql("ALTER TABLE SuppGrp_Perm ADD COLUMN CorrUpNotInQueue BIT"), Wait(200)},
       "SuppGrp_Perm", {{"CorrUpNotInQueue", false}}, {}},
      {"2.05", 2, 5,
       {Sql("CREATE TABLE SentFailed_Mobile_PO (Name varChar(50), UserKey varChar(150))"),
        Sql("ALTER TABLE SentFailed_Mobile_PO ADD COLUMN Device varChar(50)"),
        Sql("ALTER TABLE SentFailed_Mobile_PO ADD COLUMN AlarmImportance varChar(20)"),
        Sql("ALTER TABLE SentFailed_Mobile_PO ADD COLUMN Message varChar(250)"),
        Sql("ALTER TABLE SentFailed_Mobile_PO ADD COLUMN RetriesLeft smallInt"),
        Wait(300),
        Sql("CREATE TABLE SentFailed_Mail_SMTP (Name varChar(50), MailAddress varChar(150))"),
        Sql("ALTER TABLE SentFailed_Mail_SMTP ADD COLUMN MailServer varChar(50)"),
        Sql("ALTER TABLE SentFailed_Mail_SMTP ADD COLUMN AlarmImportance varChar(20)"),
        Sql("ALTER TABLE SentFailed_Mail_SMTP ADD COLUMN Message varChar(250)"),
        Sql("ALTER TABLE SentFailed_Mail_SMTP ADD COLUMN RetriesLeft smallInt"),
        Wait(300)},
       nullptr, {}, {}},
      {"2.06", 2, 6,
       {Sql("ALTER TABLE Settings_General ADD COLUMN DropTrapDevMaint BIT")},
       nullptr, {}, {{"DropTrapDevMaint", false}}},
      {"2.08", 2, 8, {}, nullptr, {}, {}},
      {"2.10", 2, 10,
       {Sql("ALTER TABLE SuppGrp_Perm ADD COLUMN NodeGroupSearch varChar(10)"),
        Sql("ALTER TABLE SuppGrp_Perm ADD COLUMN NodeNameSearch varChar(10)"),
        Sql("ALTER TABLE SuppGrp_Perm ADD COLUMN MessageSearch varChar(10)"),
        Wait(200)},
       "SuppGrp_Perm",
       {{"NodeGroupSearch", std::string("=")}, {"NodeNameSearch", std::string("=")},
        {"MessageSearch", std::string("=")}},
       {}},
      {"3.00", 2, 11, {}, nullptr, {}, {}},
      {"3.02", 3, 2, {}, nullptr, {}, {}},
      {"3.03", 3, 3, {}, nullptr, {}, {}},
      {"3.10", 3, 10,
       {Sql("ALTER TABLE Maintenance ADD COLUMN PollType varChar(20)"), Wait(200)},
       "Maintenance", {{"PollType", std::string()}}, {}},
      {"3.12", 3, 12,
       {Sql("ALTER TABLE Settings_General ADD COLUMN EventFloodTrap BIT"),
        Sql("ALTER TABLE Settings_General ADD COLUMN EventFloodThreshold smallInt"),
        Wait(200)},
       nullptr, {}, {{"EventFloodTrap", false}, {"EventFloodThreshold", std::int16_t{100}}}},
      {"3.14", 3, 14, {}, nullptr, {}, {}},
  };
  return steps;
}

}  // namespace vsu
