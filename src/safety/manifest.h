#pragma once
// The backup's manifest: what existed before the run, where, with the hash
// of its copy, and the service's registration and state. A text file of tab
// separated fields, one record per line, written last, so that a folder with
// a manifest holds a whole backup.

#include <string>
#include <vector>

#include "common/text_lines.h"
#include "platform/files.h"
#include "platform/service_manager.h"

namespace vsu {

inline constexpr const char* kManifestName = "manifest.txt";

struct ManifestFile {
  std::string label;  // the copy's file name in the backup folder
  std::string path;
  bool database = false;
  bool existed = false;
  std::string sha256;  // of the copy; empty when the file did not exist
};

struct Manifest {
  std::string programDir;  // the current directory of the run, against which its paths hold
  std::vector<ManifestFile> files;
  bool servicePresent = false;
  int serviceState = 0;
  ServiceRegistration registration;
};

// Written beside its final name and renamed into place. Throws Failure, also
// for a text that a field cannot hold (a tab or a line break).
void WriteManifest(Files& files, const std::string& folder, const Manifest& manifest);

// Throws Failure for anything that is not a manifest this program wrote.
Manifest ReadManifest(LineReader& lines);

}  // namespace vsu
