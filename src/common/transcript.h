#pragma once
// The JSON-lines transcript: one object per line with "t" (milliseconds since
// the transcript was created) and "event", then the event's own fields. Each
// line is written whole and flushed at once, so a transcript read while the
// program runs, or after it was killed, holds only complete events.

#include <chrono>
#include <cstdio>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

namespace vsu {

// JSON string literal (with quotes) for program text. Valid UTF-8 passes through;
// other bytes are taken as Latin-1 and escaped, so the line is always valid JSON.
std::string JsonQuote(std::string_view text);

class Transcript {
 public:
  // A field value: null, text, number or Boolean.
  struct Value {
    Value(std::nullptr_t) {}
    Value(std::string_view text) : data(text) {}
    Value(const char* text) : data(std::string_view(text)) {}
    Value(const std::string& text) : data(std::string_view(text)) {}
    Value(std::int64_t number) : data(number) {}
    Value(int number) : data(std::int64_t{number}) {}
    Value(bool flag) : data(flag) {}
    std::variant<std::nullptr_t, std::string_view, std::int64_t, bool> data;
  };
  struct Field {
    std::string_view key;
    Value value;
  };
  using Sink = std::function<void(const std::string& line)>;

  // A transcript that writes nothing.
  Transcript();
  // Appends to the file at path (created if missing). An empty path writes nothing.
  explicit Transcript(const std::string& path);
  // Hands every line (without its "\n") to sink; used by tests.
  explicit Transcript(Sink sink);
  ~Transcript();
  Transcript(const Transcript&) = delete;
  Transcript& operator=(const Transcript&) = delete;

  void Log(std::string_view event, std::initializer_list<Field> fields);

 private:
  std::chrono::steady_clock::time_point start_;
  std::FILE* file_ = nullptr;
  Sink sink_;
};

}  // namespace vsu
