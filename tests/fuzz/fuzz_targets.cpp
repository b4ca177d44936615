// Fuzz targets for every reader of outside text, each checking what its reader promises; replayed by main.

#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>

#include "common/failure.h"
#include "common/text.h"
#include "common/text_lines.h"
#include "common/transcript.h"
#include "database/connection_strings.h"
#include "platform/connection_string.h"
#include "database/schema_ladder.h"
#include "locations/ini_settings.h"
#include "locations/snmpc_directory.h"
#include "mib/names_list.h"
#include "platform/posix/path_map.h"
#include "safety/manifest.h"

namespace vsu {
namespace {

// Aborts, so that libFuzzer keeps the input as a reproducer and a replay fails.
#define CHECK(condition) ((condition) ? void() : Fault(#condition, __LINE__))
[[noreturn]] void Fault(const char* condition, int line) {
  std::fprintf(stderr, "fuzz_targets.cpp:%d: property broken: %s\n", line, condition);
  std::abort();
}

// Hands out the text a few bytes at a time, so line ends fall on every buffer boundary.
struct MemoryInput : InputFile {
  explicit MemoryInput(std::string_view text) : text(text), piece(1 + text.size() % 16) {}
  std::size_t Read(char* buffer, std::size_t size) override {
    const auto n = std::min({size, piece, text.size()});
    std::memcpy(buffer, text.data(), n);
    text.remove_prefix(n);
    return n;
  }
  std::string_view text;
  std::size_t piece;
};

struct MemoryOutput : OutputFile {
  explicit MemoryOutput(std::string& bytes) : bytes(bytes) {}
  void Write(std::string_view more) override { bytes.append(more); }
  void Close() override {}
  std::string& bytes;
};

LineReader Reader(std::string_view text) { return LineReader(std::make_unique<MemoryInput>(text)); }

// The lines by the rule the readers document: CR or CR LF ends a line, a lone LF does not.
std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  while (!text.empty()) {
    const auto cr = text.find('\r');
    lines.emplace_back(text.substr(0, cr));
    if (cr == std::string_view::npos) break;
    text.remove_prefix(cr + (text.substr(cr, 2) == "\r\n" ? 2 : 1));
  }
  return lines;
}

// The section's value by the rule of FindSnmpcDir, for an empty and for a stored SnmpcDir.
void WinIni(std::string_view text) {
  const auto lines = SplitLines(text);
  const auto header = std::find(lines.begin(), lines.end(), "[SNMPc Network Manager]");
  for (const std::string stored : {"", "c:\\Stored"}) {
    std::string dir = stored;
    LineReader reader = Reader(text);
    const bool found = ReadSnmpcSection(reader, dir);
    CHECK(found == (header != lines.end() && header + 1 != lines.end()));
    std::string expected = stored;
    for (auto line = found ? header + 1 : lines.end(); line != lines.end(); ++line) {
      if (UpperCase(Left(*line, 4)) == "DIR=") expected = DropOneTrailingBackslash(TrimSpaces(line->substr(4)));
      if (!expected.empty() || StartsWith(*line, "[")) break;
    }
    CHECK(dir == expected);
  }
}

// Each key takes the value of its last line after the first "[SNMPC]" line.
void PhpIni(std::string_view text) {
  const char* keys[] = {"SNMPC.DBSERVER=", "SNMPC.DBSOURCE=", "SNMPC.DBUSER="};
  std::vector<std::string> values(3, "old");
  std::vector<std::string> expected = values;
  LineReader reader = Reader(text);
  ReadPhpIniDbSettings(reader, values[0], values[1], values[2]);
  const auto lines = SplitLines(text);
  auto line = std::find_if(lines.begin(), lines.end(), [](auto& l) { return UpperCase(Left(l, 7)) == "[SNMPC]"; });
  for (; line != lines.end(); ++line) {
    for (int k = 0; k < 3; ++k) {
      if (StartsWith(UpperCase(*line), keys[k])) expected[k] = TrimSpaces(line->substr(std::strlen(keys[k])));
    }
  }
  CHECK(values == expected);
}

// The value of the last "ServerIpAddr=" line that is no comment or section header.
void LumidexIni(std::string_view text) {
  std::string address = "old";
  std::string expected = address;
  LineReader reader = Reader(text);
  ReadLumidexServerIpAddr(reader, address);
  for (const auto& line : SplitLines(text)) {
    const auto eq = line.find('=');
    if (line.size() > 3 && line[0] != ';' && line[0] != '[' && eq != std::string::npos &&
        TrimSpaces(line.substr(0, eq)) == "ServerIpAddr") {
      expected = TrimSpaces(line.substr(eq + 1));
    }
  }
  CHECK(address == expected);
}

std::string FilterNames(std::string_view text) {
  std::string out;
  LineReader in = Reader(text);
  LineWriter writer(std::make_unique<MemoryOutput>(out));
  WriteNamesList(in, writer);
  return writer.Close(), out;
}

// Keeps the other names in order, registers Ferrowin.mib last, and a second run changes nothing.
void NamesList(std::string_view text) {
  std::string expected;
  for (const auto& line : SplitLines(text)) {
    const auto upper = UpperCase(line);
    if (!line.empty() && upper.find("QUILLBANK.MIB") == std::string::npos &&
        upper.find("FERROWIN.MIB") == std::string::npos) {
      expected += line + "\r\n";
    }
  }
  expected += "Ferrowin.mib\r\n\r\n";
  CHECK(FilterNames(text) == expected && FilterNames(expected) == expected);
}

// Either the digits of the first and the last two characters, or Failure.
void Version(std::string_view input) {
  const std::string text(input);
  const std::string major = text.substr(0, 1);
  const std::string minor = text.size() > 2 ? text.substr(text.size() - 2) : text;
  const auto Digits = [](const std::string& part) {
    return !part.empty() && std::all_of(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; });
  };
  try {
    const SchemaVersion version = ParseVersion(text);
    CHECK(Digits(major) && Digits(minor));
    CHECK(version.major == major[0] - '0' && version.minor == std::stoi(minor));
  } catch (const Failure& failure) {
    CHECK(!(Digits(major) && Digits(minor)) && !failure.Description().empty());
  }
}

// Never throws; gives back a trimmed piece of the string, and the folder a connection string was made from.
void ConnectionString(std::string_view input) {
  const std::string text(input);
  const std::string source = DataSourceOf(text);
  CHECK(source.find(';') == std::string::npos && source == TrimSpaces(source));
  CHECK(text.find(source) != std::string::npos);
  if (text.find(';') == std::string::npos) {
    CHECK(DataSourceOf(VelaScanConnectString(text)) == TrimSpaces(text + "\\VelaScan.mdb"));
  }
}

// Drives C and D in a fresh folder, the current directory deep inside C.
struct Drives {
  Drives() {
    std::string name = (std::filesystem::temp_directory_path() / "vsu-fuzz-XXXXXX").string();
    CHECK(::mkdtemp(name.data()) != nullptr);
    top = std::filesystem::canonical(name).string();
    c = top + "/c";
    d = top + "/d";
    for (const auto& dir : {c + "/Program Files/Vela Scan", c + "/Work/Deep", d + "/Data"}) {
      std::filesystem::create_directories(dir);
    }
    ::setenv("VELASCANUPG_DRIVE_C", c.c_str(), 1);
    ::setenv("VELASCANUPG_DRIVE_D", d.c_str(), 1);
    CHECK(::chdir((c + "/Work/Deep").c_str()) == 0);
  }
  ~Drives() { std::filesystem::remove_all(top); }
  std::string top, c, d;
};

// A path never leaves its drive's folder (a letter's, else the current one's); a network path has none.
void PathMap(std::string_view text) {
  static const Drives drives;
  if (text.find('\0') != std::string_view::npos) return;  // program paths are C strings
  const char letter = text.size() >= 2 && text[1] == ':' ? static_cast<char>(text[0] & ~0x20) : 0;
  const bool lettered = letter >= 'A' && letter <= 'Z';
  const auto separator = [&](std::size_t i) { return text.size() > i && (text[i] == '/' || text[i] == '\\'); };
  const bool network = separator(0) && separator(1);
  const auto mapped = posix::MapPath(text);
  CHECK(mapped.has_value() == (lettered ? letter == 'C' || letter == 'D' : !network));
  if (!mapped) return;
  const std::string absolute = StartsWith(*mapped, "/") ? *mapped : drives.c + "/Work/Deep/" + *mapped;
  // With "." and ".." resolved by name as the kernel does.
  const std::string normal = std::filesystem::path(absolute).lexically_normal().string() + "/";
  CHECK(StartsWith(normal, (lettered && letter == 'D' ? drives.d : drives.c) + "/"));
}

// Always one valid JSON string; valid UTF-8 comes back unchanged.
void JsonQuoteTarget(std::string_view text) {
  const std::string quoted = JsonQuote(text);
  CHECK(nlohmann::json::accept(quoted));
  const auto value = nlohmann::json::parse(quoted);
  CHECK(value.is_string());
  // The library's own round trip gives the text back exactly when it is valid UTF-8.
  const auto replaced = nlohmann::json(std::string(text)).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
  CHECK(nlohmann::json::parse(replaced).get<std::string>() != text || value.get<std::string>() == text);
}

// A manifest that reads names no copy outside the backup folder.
void ManifestTarget(std::string_view text) {
  LineReader lines = Reader(text);
  try {
    for (const auto& file : ReadManifest(lines).files) {
      CHECK(!file.label.empty() && file.label != "." && file.label != ".." &&
            file.label.find_first_of("\\/:") == std::string::npos);
    }
  } catch (const Failure&) {
  }
}

using Target = void (*)(std::string_view);

Target FindTarget(std::string_view name) {
  static const std::pair<std::string_view, Target> targets[] = {
      {"win_ini", WinIni},   {"php_ini", PhpIni},   {"lumidex_ini", LumidexIni},
      {"names_list", NamesList}, {"version", Version}, {"connection_string", ConnectionString},
      {"path_map", PathMap}, {"json_quote", JsonQuoteTarget}, {"manifest", ManifestTarget}};
  for (const auto& [known, target] : targets) if (known == name) return target;
  std::fprintf(stderr, "no fuzz target %.*s\n", static_cast<int>(name.size()), name.data());
  std::exit(2);
}

}  // namespace
}  // namespace vsu

#ifdef VSU_FUZZ_TARGET
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const auto target = vsu::FindTarget(VSU_FUZZ_TARGET);
  target(std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
#else
// fuzz_replay TARGET PATH...: runs the target over each file, and every file in each folder.
int main(int argc, char** argv) {
  if (argc < 3) return 2;
  const auto target = vsu::FindTarget(argv[1]);
  // Absolute, since a target may change the current directory.
  std::vector<std::filesystem::path> files;
  for (int i = 2; i < argc; ++i) {
    if (!std::filesystem::is_directory(argv[i])) files.push_back(std::filesystem::absolute(argv[i]));
    else for (const auto& entry : std::filesystem::recursive_directory_iterator(std::filesystem::absolute(argv[i])))
      if (entry.is_regular_file()) files.push_back(entry.path());
  }
  for (const auto& path : files) {
    std::printf("%s\n", path.c_str());
    std::fflush(stdout);
    std::ifstream file(path, std::ios::binary);
    if (!file) return 1;
    target(std::string(std::istreambuf_iterator<char>(file), {}));
  }
  std::printf("%s: %zu inputs\n", argv[1], files.size());
  return files.empty() ? 1 : 0;
}
#endif
