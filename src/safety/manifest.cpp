#include "safety/manifest.h"

#include <cstdlib>

#include "common/failure.h"

namespace vsu {
namespace {

constexpr const char* kFirstLine = "VelaScanUpg backup 1";

std::string Field(const std::string& text) {
  if (text.find_first_of("\t\r\n") != std::string::npos) {
    throw Failure("\"" + text + "\" holds a tab or a line break, which the manifest cannot record");
  }
  return text;
}

// Fields separated by tabs; an empty field keeps its place.
std::string Join(const std::vector<std::string>& fields) {
  std::string line;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) line += '\t';
    line += Field(fields[i]);
  }
  return line;
}

std::vector<std::string> Split(const std::string& line) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1) {
    fields.push_back(line.substr(start, tab - start));
  }
  fields.push_back(line.substr(start));
  return fields;
}

unsigned long Number(const std::string& text) {
  char* end = nullptr;
  const unsigned long value = std::strtoul(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || text[0] == '-') throw Failure("\"" + text + "\" is no number");
  return value;
}

// A copy's name must stay inside the backup folder.
bool IsPlainName(const std::string& name) {
  if (name.empty() || name == "." || name == "..") return false;
  return name.find_first_of("\\/:") == std::string::npos;
}

}  // namespace

void WriteManifest(Files& files, const std::string& folder, const Manifest& m) {
  const std::string path = folder + "\\" + kManifestName;
  const std::string fresh = path + ".vsu-new";
  {
    LineWriter out(files.CreateForOutput(fresh));
    out.WriteLine(kFirstLine);
    out.WriteLine(Join({"program", m.programDir}));
    for (const ManifestFile& f : m.files) {
      out.WriteLine(Join({"file", f.label, f.database ? "database" : "file", f.existed ? "1" : "0",
                          f.existed ? f.sha256 : "-", f.path}));
    }
    const ServiceRegistration& r = m.registration;
    out.WriteLine(Join({"service", m.servicePresent ? "1" : "0", std::to_string(m.serviceState),
                        std::to_string(r.serviceType), std::to_string(r.startType), std::to_string(r.errorControl),
                        r.binaryPath, r.displayName, r.account}));
    out.Close();
  }
  files.RenameFile(fresh, path);
}

Manifest ReadManifest(LineReader& lines) {
  std::string line;
  if (!lines.ReadLine(line) || line != kFirstLine) throw Failure("not a backup manifest of this program");
  Manifest m;
  bool program = false;
  bool service = false;
  while (lines.ReadLine(line)) {
    const auto f = Split(line);
    if (f[0] == "program" && f.size() == 2) {
      m.programDir = f[1];
      program = true;
    } else if (f[0] == "file" && f.size() == 6 && IsPlainName(f[1]) && (f[3] == "0" || f[3] == "1")) {
      m.files.push_back({f[1], f[5], f[2] == "database", f[3] == "1", f[3] == "1" ? f[4] : ""});
    } else if (f[0] == "service" && f.size() == 9 && (f[1] == "0" || f[1] == "1")) {
      m.servicePresent = f[1] == "1";
      m.serviceState = static_cast<int>(Number(f[2]));
      m.registration = {static_cast<std::uint32_t>(Number(f[3])), static_cast<std::uint32_t>(Number(f[4])),
                        static_cast<std::uint32_t>(Number(f[5])), f[6], f[7], f[8]};
      service = true;
    } else {
      throw Failure("the manifest line \"" + line + "\" is not understood");
    }
  }
  if (!program || !service) throw Failure("the manifest is incomplete");
  return m;
}

}  // namespace vsu
