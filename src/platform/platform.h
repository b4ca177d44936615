#pragma once
// The bundle of platform ports the program's routines receive. main builds one
// for the operating system it runs on; tests build one from fakes.

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

}  // namespace vsu
