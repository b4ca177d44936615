#pragma once
// The files an upgrade run may change, and how their contents are told apart.

#include <string>
#include <vector>

#include "common/installation_state.h"
#include "platform/platform.h"

namespace vsu {

struct InstallationItem {
  std::string label;  // its file name, also the name of its copy in a backup
  std::string path;   // as the run names it
  bool database;      // copied through the database engine
};

// VelaScan.mdb, the program files' destinations, and SNMPc's MIB list with
// its backup and the new list that is renamed into place.
std::vector<InstallationItem> ItemsTheUpgradeMayChange(const InstallationState& s);

// SHA-256 of the file's bytes.
std::string HashOfFile(Files& files, const std::string& path);

// Makes copy hold the item's contents: a database through the engine, which
// gives the same bytes for the same contents, any other file byte for byte.
void CopyItem(Platform& p, const InstallationItem& item, const std::string& from, const std::string& copy);

// The hash of the item's contents as a copy of it would have them; scratch
// is a file the database's copy may be made in, removed afterwards.
std::string HashOfItem(Platform& p, const InstallationItem& item, const std::string& scratch);

}  // namespace vsu
