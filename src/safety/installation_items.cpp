#include "safety/installation_items.h"

#include "common/failure.h"
#include "common/sha256.h"
#include "platform/database.h"
#include "platform/files.h"
#include "upgrade/program_files.h"

namespace vsu {

std::vector<InstallationItem> ItemsTheUpgradeMayChange(const InstallationState& s) {
  std::vector<InstallationItem> items{{"VelaScan.mdb", s.ProgramDir + "\\VelaScan.mdb", true}};
  for (const ProgramFileRow& row : ProgramFileRows(s)) {
    items.push_back({row.destination.substr(row.destination.rfind('\\') + 1), row.destination, false});
  }
  const std::string mibs = s.SnmpcDir + "\\mibfiles\\";
  for (const char* name : {"names.txt", "names.bak", "names.txt.vsu-new"}) items.push_back({name, mibs + name, false});
  return items;
}

std::string HashOfFile(Files& files, const std::string& path) {
  const auto in = files.OpenForInput(path);
  Sha256 hash;
  char buffer[1 << 14];
  while (const std::size_t n = in->Read(buffer, sizeof buffer)) hash.Add(std::string_view(buffer, n));
  return hash.HexDigest();
}

void CopyItem(Platform& p, const InstallationItem& item, const std::string& from, const std::string& copy) {
  if (!item.database) {
    p.files.CreateFileCopier()->Copy(from, copy);
    return;
  }
  if (!p.files.FileExists(copy)) p.files.CreateForOutput(copy)->Close();
  p.db.CopyDatabase(from, copy);
}

std::string HashOfItem(Platform& p, const InstallationItem& item, const std::string& scratch) {
  if (!item.database) return HashOfFile(p.files, item.path);
  // A fresh file each time, so the copy depends on the contents alone.
  p.files.CreateForOutput(scratch)->Close();
  std::string hash;
  try {
    p.db.CopyDatabase(item.path, scratch);
    hash = HashOfFile(p.files, scratch);
  } catch (const Failure&) {
    p.files.RemoveFile(scratch);
    throw;
  }
  p.files.RemoveFile(scratch);
  return hash;
}

}  // namespace vsu
