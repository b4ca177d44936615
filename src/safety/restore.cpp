#include "safety/restore.h"

#include "common/failure.h"
#include "common/text_lines.h"
#include "platform/files.h"
#include "platform/service_manager.h"
#include "platform/system.h"
#include "safety/installation_items.h"
#include "safety/manifest.h"
#include "safety/report.h"
#include "safety/service_facts.h"

namespace vsu {
namespace {

// A stopping service, and one marked for deletion, stays until its process
// has ended, which a slow service takes its time over.
constexpr unsigned kServiceWaitMs = 30000;
// Stop requests refused because the service is stopping already, or not running.
constexpr std::uint32_t kStopping = 1061;
constexpr std::uint32_t kNotActive = kErrorServiceNotRunning;

bool IsRunningState(int state) { return state == 2 || state == 4 || state == 5; }

class Restore {
 public:
  Restore(Platform& p, const std::string& folder) : p_(p), folder_(folder), report_(p.log, "restore") {}

  int Run() {
    if (Load() && BackupIntact() && EnterProgramDirectory()) PutBack();
    return report_.Finish(p_.ui, "Vela Scan restore", "the installation is back as it was backed up",
                          "could not be put back");
  }

 private:
  std::string CopyOf(const ManifestFile& file) const { return folder_ + "\\" + file.label; }
  InstallationItem Item(const ManifestFile& file) const { return {file.label, file.path, file.database}; }

  bool Load() {
    try {
      LineReader lines(p_.files.OpenForInput(folder_ + "\\" + kManifestName));
      manifest_ = ReadManifest(lines);
      report_.Add("backup", true, folder_ + ", made of " + manifest_.programDir);
      return true;
    } catch (const Failure& failure) {
      report_.Add("backup", false, folder_ + ": " + failure.Description());
      return false;
    }
  }

  bool BackupIntact() {
    bool intact = true;
    for (const ManifestFile& file : manifest_.files) {
      if (!file.existed) continue;
      try {
        if (HashOfFile(p_.files, CopyOf(file)) == file.sha256) continue;
        report_.Add(CopyOf(file), false, "the copy no longer matches its hash; nothing was changed");
      } catch (const Failure& failure) {
        report_.Add(CopyOf(file), false, failure.Description() + "; nothing was changed");
      }
      intact = false;
    }
    return intact;
  }

  // The run's paths hold against the directory it had made current.
  bool EnterProgramDirectory() {
    try {
      p_.system.ChangeDirectory(manifest_.programDir);
      return true;
    } catch (const Failure& failure) {
      report_.Add("program directory", false, failure.Description());
      return false;
    }
  }

  // True when the file differs from the backup, or its state cannot be read.
  bool Differs(const ManifestFile& file) {
    try {
      if (!p_.files.FileExists(file.path)) return file.existed;
      return !file.existed || HashOfItem(p_, Item(file), CopyOf(file) + ".vsu-check") != file.sha256;
    } catch (const Failure&) {
      return true;
    }
  }

  void PutBack() {
    std::vector<const ManifestFile*> differing;
    bool programFilesDiffer = false;
    for (const ManifestFile& file : manifest_.files) {
      if (!Differs(file)) {
        report_.Add(file.path, true, file.existed ? "as backed up" : "absent, as before");
      } else {
        differing.push_back(&file);
        programFilesDiffer = programFilesDiffer || !file.database;
      }
    }
    ServiceFacts now = ReadServiceFacts(p_);
    // A service that runs holds its program; the database is put back beside it.
    if ((programFilesDiffer || RegistrationDiffers(now) || MarkedForDeletion(now)) && now.code == 0 &&
        now.state != 1) {
      Stop("to put files back");
    }
    for (const ManifestFile* file : differing) PutFileBack(*file);
    // A service marked for deletion is gone once it has stopped.
    now = ReadServiceFacts(p_);
    if (RegistrationDiffers(now)) Reregister(now.code == 0);
    SetState();
  }

  bool RegistrationDiffers(const ServiceFacts& now) const {
    if (now.code != 0) return manifest_.servicePresent;
    return !manifest_.servicePresent || !SameRegistration(now.registration, manifest_.registration);
  }

  // A running service deleted by the run still looks registered until its
  // process ends; a start request, which a running service refuses anyway,
  // tells it by its answer.
  bool MarkedForDeletion(const ServiceFacts& now) {
    if (now.code != 0 || !IsRunningState(now.state)) return false;
    return OnVelaScanService(p_, kServiceStartAccess, [&](ScHandle s) { return p_.scm.StartServiceA(s, 0, nullptr); }) ==
           kErrorServiceMarkedForDeletion;
  }

  void PutFileBack(const ManifestFile& file) {
    try {
      if (!file.existed) {
        p_.files.RemoveFile(file.path);
        const bool gone = !p_.files.FileExists(file.path);
        report_.Add(file.path, gone, gone ? "removed: it did not exist before" : "still there after its deletion");
        return;
      }
      CopyItem(p_, Item(file), CopyOf(file), file.path);
      const bool back = !Differs(file);
      report_.Add(file.path, back, back ? "put back, sha256 " + file.sha256 : "differs from its copy after the copy");
    } catch (const Failure& failure) {
      report_.Add(file.path, false, failure.Description());
    }
  }

  void Stop(const std::string& why) {
    ServiceStatusRecord status{};
    const std::uint32_t code = OnVelaScanService(
        p_, kServiceStopAccess, [&](ScHandle s) { return p_.scm.ControlService(s, kStopControl, &status); });
    if (code != 0 && code != kStopping && code != kNotActive) {
      report_.Add("service", false, "cannot be stopped " + why + ": error " + std::to_string(code));
      return;
    }
    const bool stopped = WaitForService(
        p_, [](const ServiceFacts& f) { return f.code != 0 || f.state == 1; }, kServiceWaitMs);
    report_.Add("service", stopped,
                stopped ? "stopped " + why
                        : "still not stopped after " + std::to_string(kServiceWaitMs / 1000) + " s (stop request: " +
                              std::to_string(code) + "); run the restore again once it has stopped");
  }

  void Reregister(bool registered) {
    if (registered) {
      const std::uint32_t code = OnVelaScanService(p_, kServiceDeleteAccess,
                                                   [&](ScHandle s) { return p_.scm.DeleteService(s); });
      const bool gone = WaitForService(
          p_, [](const ServiceFacts& f) { return f.code == kErrorNoSuchService; }, kServiceWaitMs);
      report_.Add("service", gone,
                  gone ? "removed" : "still registered after " + std::to_string(kServiceWaitMs / 1000) +
                                         " s (delete: " + std::to_string(code) + "); run the restore again");
      if (!gone) return;
    }
    if (!manifest_.servicePresent) return;
    const std::uint32_t code = RegisterVelaScanService(p_, manifest_.registration);
    report_.Add("service", code == 0,
                code == 0 ? "registered again with " + manifest_.registration.binaryPath
                          : "cannot be registered again: error " + std::to_string(code));
  }

  void SetState() {
    const bool wantRunning = manifest_.servicePresent && IsRunningState(manifest_.serviceState);
    ServiceFacts now = ReadServiceFacts(p_);
    if (now.code == 0 && wantRunning && !IsRunningState(now.state)) {
      const std::uint32_t code =
          OnVelaScanService(p_, kServiceStartAccess, [&](ScHandle s) { return p_.scm.StartServiceA(s, 0, nullptr); });
      if (code != 0) {
        report_.Add("service", false, "cannot be started: error " + std::to_string(code));
      } else {
        WaitForService(p_, [](const ServiceFacts& f) { return f.code != 0 || f.state != 2; }, kServiceWaitMs);
      }
    } else if (now.code == 0 && !wantRunning && IsRunningState(now.state)) {
      Stop("as it was");
    }
    now = ReadServiceFacts(p_);
    const bool back = manifest_.servicePresent
                          ? now.code == 0 && SameRegistration(now.registration, manifest_.registration) &&
                                IsRunningState(now.state) == wantRunning
                          : now.code == kErrorNoSuchService;
    const std::string was = manifest_.servicePresent
                                ? StateText(manifest_.serviceState) + ", " + manifest_.registration.binaryPath
                                : "not installed";
    report_.Add("service", back,
                back ? "as backed up: " + was
                     : "not as backed up (" + was + "): now " +
                           (now.code == 0 ? StateText(now.state) + ", " + now.registration.binaryPath
                                          : "error " + std::to_string(now.code)));
  }

  Platform& p_;
  std::string folder_;
  SafetyReport report_;
  Manifest manifest_;
};

}  // namespace

int RunRestore(Platform& p, const std::string& folder) { return Restore(p, folder).Run(); }

}  // namespace vsu
