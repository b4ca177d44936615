#pragma once
// The bundle of platform ports the program's routines receive. main builds one
// for the operating system it runs on; tests build one from fakes.

namespace vsu {

class System;
class Files;
class Clock;
class WindowToolkit;
class Transcript;
class ServiceManager;
class ProcessList;
class Launcher;

struct Platform {
  System& system;
  Files& files;
  Clock& clock;
  WindowToolkit& ui;
  Transcript& log;
  ServiceManager& scm;
  ProcessList& processes;
  Launcher& launcher;
};

}  // namespace vsu
