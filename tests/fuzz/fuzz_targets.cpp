// Fuzz targets for every reader of outside text: no crash, no sanitizer error, and the properties each one states.

#include <cstring>
#include <nlohmann/json.hpp>

#include "../support/testing.h"
#include "../support/unique_dir.h"
#include "common/text.h"
#include "common/text_lines.h"
#include "common/transcript.h"
#include "database/connection_strings.h"
#include "database/schema_ladder.h"
#include "locations/ini_settings.h"
#include "locations/snmpc_directory.h"
#include "mib/names_list.h"
#include "platform/connection_string.h"
#include "platform/posix/path_map.h"
#include "safety/manifest.h"

namespace fs = std::filesystem;

namespace vsu {
namespace {

// Aborts, so that libFuzzer keeps the input as a reproducer and a replay fails.
#define CHECK(condition) \
  ((condition) ? void() : (std::fprintf(stderr, "fuzz_targets.cpp:%d: %s\n", __LINE__, #condition), std::abort()))

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

// The win.ini (for an empty and for a stored SnmpcDir), php.ini and Lumidex.ini readers over the same text.
void Ini(std::string_view text) {
  std::string empty, stored = "c:\\Stored", server, source, user, address;
  LineReader win = Reader(text), winStored = Reader(text), php = Reader(text), lumidex = Reader(text);
  ReadSnmpcSection(win, empty);
  ReadSnmpcSection(winStored, stored);
  ReadPhpIniDbSettings(php, server, source, user);
  ReadLumidexServerIpAddr(lumidex, address);
}

std::string FilterNames(std::string_view text) {
  std::string out;
  LineReader in = Reader(text);
  LineWriter writer(std::make_unique<MemoryOutput>(out));
  WriteNamesList(in, writer);
  return writer.Close(), out;
}

// Registers Ferrowin.mib last, and a second run changes nothing.
void NamesList(std::string_view text) {
  const std::string once = FilterNames(text);
  CHECK(once.ends_with("Ferrowin.mib\r\n\r\n") && FilterNames(once) == once);
}

// Either the digits of the first and the last two characters, or Failure.
void Version(std::string_view input) {
  const std::string text(input), minor = text.size() > 2 ? text.substr(text.size() - 2) : text;
  const auto digit = [](char c) { return c >= '0' && c <= '9'; };
  const bool digits = !text.empty() && digit(text[0]) && std::all_of(minor.begin(), minor.end(), digit);
  try {
    const SchemaVersion version = ParseVersion(text);
    CHECK(digits && version.major == text[0] - '0' && version.minor == std::stoi(minor));
  } catch (const Failure& failure) {
    CHECK(!digits && !failure.Description().empty());
  }
}

// Never throws; gives back a trimmed piece of the string, and the folder a connection string was made from.
void ConnectionString(std::string_view input) {
  const std::string text(input), source = DataSourceOf(text);
  CHECK(source.find(';') == std::string::npos && source == TrimSpaces(source));
  CHECK(text.find(source) != std::string::npos);
  if (text.find(';') == std::string::npos) {
    CHECK(DataSourceOf(VelaScanConnectString(text)) == TrimSpaces(text + "\\VelaScan.mdb"));
  }
}

// Drives C and D in a fresh folder, the current directory deep inside C.
struct Drives {
  Drives() {
    top = fs::canonical(test::MakeUniqueDir("vsu-fuzz-")).string();
    for (const char* dir : {"/c/Program Files/Vela Scan", "/c/Work/Deep", "/d/Data"}) fs::create_directories(top + dir);
    ::setenv("VELASCANUPG_DRIVE_C", (top + "/c").c_str(), 1);
    ::setenv("VELASCANUPG_DRIVE_D", (top + "/d").c_str(), 1);
    fs::current_path(top + "/c/Work/Deep");
  }
  ~Drives() { fs::remove_all(top); }
  std::string top;
};

// A path never leaves its drive's folder (a letter's, else the current one's); a network path has none.
void PathMap(std::string_view text) {
  static const Drives drives;
  if (text.find('\0') != std::string_view::npos) return;  // program paths are C strings
  const char letter = text.size() >= 2 && text[1] == ':' ? static_cast<char>(text[0] & ~0x20) : 0;
  const bool lettered = letter >= 'A' && letter <= 'Z';
  const auto separator = [&](std::size_t i) { return text.size() > i && (text[i] == '/' || text[i] == '\\'); };
  const auto mapped = posix::MapPath(text);
  CHECK(mapped.has_value() == (lettered ? letter == 'C' || letter == 'D' : !(separator(0) && separator(1))));
  if (!mapped) return;
  // With "." and ".." resolved by name as the kernel does.
  const fs::path absolute = StartsWith(*mapped, "/") ? *mapped : drives.top + "/c/Work/Deep/" + *mapped;
  CHECK(StartsWith(absolute.lexically_normal().string() + "/", drives.top + (letter == 'D' ? "/d/" : "/c/")));
}

// Always one valid JSON string; valid UTF-8 (which the library's own round trip keeps) comes back unchanged.
void JsonQuoteTarget(std::string_view text) {
  using nlohmann::json;
  const std::string quoted = JsonQuote(text);
  CHECK(json::accept(quoted) && json::parse(quoted).is_string());
  const auto replaced = json(std::string(text)).dump(-1, ' ', false, json::error_handler_t::replace);
  CHECK(json::parse(replaced).get<std::string>() != text || json::parse(quoted) == text);
}

// A manifest that reads names no copy outside the backup folder.
void ManifestTarget(std::string_view text) try {
  LineReader lines = Reader(text);
  for (const auto& file : ReadManifest(lines).files) {
    CHECK(!file.label.empty() && file.label != "." && file.label != ".." &&
          file.label.find_first_of("\\/:") == std::string::npos);
  }
} catch (const Failure&) {
}

auto FindTarget(const std::string& name) {
  static const std::map<std::string, void (*)(std::string_view)> targets = {
      {"ini", Ini}, {"names_list", NamesList}, {"version", Version}, {"connection_string", ConnectionString},
      {"path_map", PathMap}, {"json_quote", JsonQuoteTarget}, {"manifest", ManifestTarget}};
  if (!targets.contains(name)) std::fprintf(stderr, "no fuzz target %s\n", name.c_str()), std::exit(2);
  return targets.at(name);
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
// fuzz_replay TARGET FOLDER...: runs the target over every file in the folders.
int main(int argc, char** argv) {
  const auto target = vsu::FindTarget(argc < 3 ? "" : argv[1]);
  std::vector<fs::path> files;  // absolute, since a target may change the current directory
  for (int i = 2; i < argc; ++i)
    for (const auto& entry : fs::directory_iterator(fs::absolute(argv[i]))) files.push_back(entry.path());
  for (const auto& path : files) {
    std::fprintf(stderr, "%s\n", path.c_str());
    std::ifstream file(path, std::ios::binary);
    target(std::string(std::istreambuf_iterator<char>(file), {}));
  }
  std::printf("%s: %zu inputs\n", argv[1], files.size());
  return files.empty() ? 1 : 0;
}
#endif
