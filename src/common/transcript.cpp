#include "common/transcript.h"

#include <cstdio>

namespace vsu {
namespace {

// Length of the UTF-8 sequence starting at s[i], or 0 when it is not valid.
std::size_t Utf8Length(std::string_view s, std::size_t i) {
  const auto c = static_cast<unsigned char>(s[i]);
  std::size_t n = 0;
  if (c >= 0xC2 && c <= 0xDF) n = 2;
  else if (c >= 0xE0 && c <= 0xEF) n = 3;
  else if (c >= 0xF0 && c <= 0xF4) n = 4;
  else return 0;
  if (i + n > s.size()) return 0;
  for (std::size_t k = 1; k < n; ++k) {
    if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return 0;
  }
  const auto c1 = static_cast<unsigned char>(s[i + 1]);
  if (c == 0xE0 && c1 < 0xA0) return 0;   // overlong
  if (c == 0xED && c1 >= 0xA0) return 0;  // surrogates
  if (c == 0xF0 && c1 < 0x90) return 0;   // overlong
  if (c == 0xF4 && c1 >= 0x90) return 0;  // beyond U+10FFFF
  return n;
}

void AppendEscaped(std::string& out, unsigned code) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "\\u%04x", code);
  out += buf;
}

}  // namespace

std::string JsonQuote(std::string_view text) {
  std::string out = "\"";
  for (std::size_t i = 0; i < text.size();) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c >= 0x80) {
      if (const auto n = Utf8Length(text, i)) {
        out.append(text.substr(i, n));
        i += n;
      } else {
        AppendEscaped(out, c);
        ++i;
      }
      continue;
    }
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      case '\b': out += "\\b"; break;
      case '\f': out += "\\f"; break;
      default:
        if (c < 0x20) AppendEscaped(out, c);
        else out += static_cast<char>(c);
    }
    ++i;
  }
  out += '"';
  return out;
}

Transcript::Transcript() : start_(std::chrono::steady_clock::now()) {}

Transcript::Transcript(const std::string& path) : Transcript() {
  if (path.empty()) return;
  file_ = std::fopen(path.c_str(), "ab");
  // A buffer larger than any line, so each flush appends one whole line.
  if (file_) std::setvbuf(file_, nullptr, _IOFBF, 1 << 16);
}

Transcript::Transcript(Sink sink) : Transcript() { sink_ = std::move(sink); }

Transcript::~Transcript() {
  if (file_) std::fclose(file_);
}

void Transcript::Log(std::string_view event, std::initializer_list<Field> fields) {
  if (!file_ && !sink_) return;
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                      std::chrono::steady_clock::now() - start_).count();
  std::string line = "{\"t\":" + std::to_string(ms) + ",\"event\":" + JsonQuote(event);
  for (const auto& field : fields) {
    line += ',';
    line += JsonQuote(field.key);
    line += ':';
    if (std::holds_alternative<std::nullptr_t>(field.value.data)) {
      line += "null";
    } else if (const auto* text = std::get_if<std::string_view>(&field.value.data)) {
      line += JsonQuote(*text);
    } else if (const auto* number = std::get_if<std::int64_t>(&field.value.data)) {
      line += std::to_string(*number);
    } else {
      line += std::get<bool>(field.value.data) ? "true" : "false";
    }
  }
  line += '}';
  if (sink_) sink_(line);
  if (file_) {
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), file_);
    std::fflush(file_);
  }
}

}  // namespace vsu
