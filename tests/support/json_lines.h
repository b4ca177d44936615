#pragma once
// Reads the transcript: one JSON object per line.

#include <nlohmann/json.hpp>

#include "support/testing.h"

namespace vsu::test {

struct Event {
  nlohmann::json fields;
  std::string name() const { return fields.at("event").get<std::string>(); }
  bool Has(const std::string& key) const { return fields.contains(key); }
  std::string Str(const std::string& key) const { return fields.at(key).get<std::string>(); }
  long Num(const std::string& key) const { return fields.at(key).get<long>(); }
};

// All events of a transcript; a line that is not an object with "t" and "event" fails the test.
inline std::vector<Event> ParseTranscript(const std::vector<std::string>& lines) {
  std::vector<Event> events;
  for (const auto& line : lines) {
    auto object = nlohmann::json::parse(line, nullptr, false);
    const bool event = object.is_object() && object.contains("t") && object.contains("event");
    EXPECT_TRUE(event) << "not a transcript event: " << line;
    if (event) events.push_back(Event{std::move(object)});
  }
  return events;
}

inline std::vector<Event> ReadTranscript(const std::string& path) {
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return ParseTranscript(lines);
}

inline std::vector<Event> EventsNamed(const std::vector<Event>& events, const std::string& name) {
  std::vector<Event> out;
  std::copy_if(events.begin(), events.end(), std::back_inserter(out), [&](const Event& e) { return e.name() == name; });
  return out;
}

}  // namespace vsu::test
