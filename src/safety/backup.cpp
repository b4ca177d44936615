#include "safety/backup.h"

#include "common/failure.h"
#include "platform/files.h"
#include "safety/installation_items.h"
#include "safety/manifest.h"
#include "safety/report.h"
#include "safety/service_facts.h"

namespace vsu {
namespace {

ManifestFile BackUpFile(Platform& p, const InstallationItem& item, const std::string& folder) {
  ManifestFile file{item.label, item.path, item.database, p.files.FileExists(item.path), ""};
  if (!file.existed) return file;
  const std::string copy = folder + "\\" + item.label;
  // A database copy starts from an empty file, so that it depends on the contents alone.
  if (item.database) p.files.CreateForOutput(copy)->Close();
  CopyItem(p, item, item.path, copy);
  file.sha256 = HashOfFile(p.files, copy);
  return file;
}

}  // namespace

void BackUpInstallation(Platform& p, const InstallationState& s, const std::string& folder) {
  SafetyReport log(p.log, "backup");
  try {
    p.files.CreateFolder(folder);
    if (p.files.FileExists(folder + "\\" + kManifestName)) {
      throw Failure(folder + " already holds a backup; name a folder that holds none");
    }
    Manifest manifest;
    manifest.programDir = s.ProgramDir;
    for (const InstallationItem& item : ItemsTheUpgradeMayChange(s)) {
      manifest.files.push_back(BackUpFile(p, item, folder));
      const ManifestFile& file = manifest.files.back();
      log.Add(item.path, true, file.existed ? "copied, sha256 " + file.sha256 : "does not exist");
    }
    const ServiceFacts service = ReadServiceFacts(p);
    if (service.code != 0 && service.code != kErrorNoSuchService) {
      throw Failure("The service's registration cannot be read: error " + std::to_string(service.code));
    }
    manifest.servicePresent = service.code == 0;
    manifest.serviceState = service.state;
    manifest.registration = service.registration;
    log.Add("service", true,
            manifest.servicePresent ? StateText(service.state) + ", " + service.registration.binaryPath
                                    : "not installed");
    WriteManifest(p.files, folder, manifest);
  } catch (const Failure& failure) {
    log.Add("backup", false, failure.Description());
    throw Failure("The backup into " + folder + " could not be completed, so nothing was changed.\r\n\r\n" +
                  failure.Description());
  }
}

}  // namespace vsu
