#pragma once
// Reads the transcript: one JSON object per line.

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

namespace vsu::test {

struct Event {
  nlohmann::json fields;
  std::string name() const { return fields.at("event").get<std::string>(); }
  bool Has(const std::string& key) const { return fields.contains(key); }
  std::string Str(const std::string& key) const { return fields.at(key).get<std::string>(); }
  long Num(const std::string& key) const { return fields.at(key).get<long>(); }
};

// All events of a transcript file; a line that is not a JSON object with "t"
// and "event" fails the test.
std::vector<Event> ReadTranscript(const std::string& path);
std::vector<Event> ParseTranscript(const std::vector<std::string>& lines);

// Events with the given name.
std::vector<Event> EventsNamed(const std::vector<Event>& events, const std::string& name);

}  // namespace vsu::test
