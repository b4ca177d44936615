#include "support/json_lines.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

namespace vsu::test {
namespace {

class Parser {
 public:
  explicit Parser(const std::string& text) : s_(text) {}

  std::optional<JsonObject> Object() {
    JsonObject object;
    Skip();
    if (!Eat('{')) return std::nullopt;
    Skip();
    if (Eat('}')) return Finish(object);
    for (;;) {
      Skip();
      auto key = String();
      Skip();
      if (!key || !Eat(':')) return std::nullopt;
      Skip();
      auto value = Value();
      if (!value) return std::nullopt;
      object[*key] = *value;
      Skip();
      if (Eat(',')) continue;
      if (Eat('}')) return Finish(object);
      return std::nullopt;
    }
  }

 private:
  std::optional<JsonObject> Finish(JsonObject& object) {
    Skip();
    if (i_ != s_.size()) return std::nullopt;
    return object;
  }
  void Skip() {
    while (i_ < s_.size() && (s_[i_] == ' ' || s_[i_] == '\t')) ++i_;
  }
  bool Eat(char c) {
    if (i_ < s_.size() && s_[i_] == c) {
      ++i_;
      return true;
    }
    return false;
  }
  bool EatWord(const char* word) {
    const std::string w(word);
    if (s_.compare(i_, w.size(), w) == 0) {
      i_ += w.size();
      return true;
    }
    return false;
  }
  static void AppendUtf8(std::string& out, unsigned code) {
    if (code < 0x80) {
      out += static_cast<char>(code);
    } else if (code < 0x800) {
      out += static_cast<char>(0xC0 | (code >> 6));
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | (code >> 12));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    }
  }
  std::optional<std::string> String() {
    if (!Eat('"')) return std::nullopt;
    std::string out;
    while (i_ < s_.size()) {
      const char c = s_[i_++];
      if (c == '"') return out;
      if (static_cast<unsigned char>(c) < 0x20) return std::nullopt;
      if (c != '\\') {
        out += c;
        continue;
      }
      if (i_ >= s_.size()) return std::nullopt;
      const char e = s_[i_++];
      switch (e) {
        case '"': out += '"'; break;
        case '\\': out += '\\'; break;
        case '/': out += '/'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'b': out += '\b'; break;
        case 'f': out += '\f'; break;
        case 'u': {
          if (i_ + 4 > s_.size()) return std::nullopt;
          AppendUtf8(out, static_cast<unsigned>(std::strtoul(s_.substr(i_, 4).c_str(), nullptr, 16)));
          i_ += 4;
          break;
        }
        default: return std::nullopt;
      }
    }
    return std::nullopt;
  }
  std::optional<JsonValue> Value() {
    if (i_ >= s_.size()) return std::nullopt;
    if (s_[i_] == '"') {
      auto text = String();
      if (!text) return std::nullopt;
      return JsonValue{*text};
    }
    if (EatWord("null")) return JsonValue{nullptr};
    if (EatWord("true")) return JsonValue{true};
    if (EatWord("false")) return JsonValue{false};
    const char* start = s_.c_str() + i_;
    char* end = nullptr;
    const double number = std::strtod(start, &end);
    if (end == start) return std::nullopt;
    i_ += static_cast<std::size_t>(end - start);
    return JsonValue{number};
  }

  const std::string& s_;
  std::size_t i_ = 0;
};

}  // namespace

std::optional<JsonObject> ParseJsonObject(const std::string& line) { return Parser(line).Object(); }

std::vector<Event> ParseTranscript(const std::vector<std::string>& lines) {
  std::vector<Event> events;
  for (const auto& line : lines) {
    auto object = ParseJsonObject(line);
    EXPECT_TRUE(object.has_value()) << "not a JSON object: " << line;
    if (!object) continue;
    EXPECT_TRUE(object->count("t") && object->count("event")) << line;
    events.push_back(Event{*object});
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
