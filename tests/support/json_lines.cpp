#include "support/json_lines.h"

#include <gtest/gtest.h>

#include <fstream>

namespace vsu::test {

std::vector<Event> ParseTranscript(const std::vector<std::string>& lines) {
  std::vector<Event> events;
  for (const auto& line : lines) {
    auto object = nlohmann::json::parse(line, nullptr, false);
    const bool event = object.is_object() && object.contains("t") && object.contains("event");
    EXPECT_TRUE(event) << "not a transcript event: " << line;
    if (event) events.push_back(Event{std::move(object)});
  }
  return events;
}

std::vector<Event> ReadTranscript(const std::string& path) {
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return ParseTranscript(lines);
}

std::vector<Event> EventsNamed(const std::vector<Event>& events, const std::string& name) {
  std::vector<Event> out;
  for (const auto& e : events) {
    if (e.name() == name) out.push_back(e);
  }
  return out;
}

}  // namespace vsu::test
