#pragma once
// Reads the transcript: one flat JSON object per line.

#include <map>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace vsu::test {

struct JsonValue {
  std::variant<std::nullptr_t, std::string, double, bool> data;
  bool IsNull() const { return std::holds_alternative<std::nullptr_t>(data); }
  const std::string& Str() const { return std::get<std::string>(data); }
  double Num() const { return std::get<double>(data); }
  bool Bool() const { return std::get<bool>(data); }
};

using JsonObject = std::map<std::string, JsonValue>;

// Parses one line; nullopt when it is not a flat JSON object.
std::optional<JsonObject> ParseJsonObject(const std::string& line);

struct Event {
  JsonObject fields;
  std::string name() const { return fields.at("event").Str(); }
  bool Has(const std::string& key) const { return fields.count(key) > 0; }
  std::string Str(const std::string& key) const { return fields.at(key).Str(); }
  long Num(const std::string& key) const { return static_cast<long>(fields.at(key).Num()); }
};

// All events of a transcript file; a line that does not parse fails the test.
std::vector<Event> ReadTranscript(const std::string& path);
std::vector<Event> ParseTranscript(const std::vector<std::string>& lines);

// Events with the given name.
std::vector<Event> EventsNamed(const std::vector<Event>& events, const std::string& name);

}  // namespace vsu::test
