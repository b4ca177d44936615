#pragma once
// The bundle of platform ports the program's routines receive. Each backend
// builds one for the operating system it runs on; tests build one from fakes.

namespace vsu {

class System;
class Files;
class Clock;
class WindowToolkit;
class Transcript;
class Database;
class ServiceManager;
class ProcessList;
class Launcher;
class IpInfo;

struct Platform {
  System& system;
  Files& files;
  Clock& clock;
  WindowToolkit& ui;
  Transcript& log;
  Database& db;
  ServiceManager& scm;
  ProcessList& processes;
  Launcher& launcher;
  IpInfo& ip;
};

// The same platform with other files, for a test or a double that changes one port.
inline Platform WithFiles(const Platform& p, Files& files) {
  return {p.system, files, p.clock, p.ui, p.log, p.db, p.scm, p.processes, p.launcher, p.ip};
}

}  // namespace vsu
