#pragma once
// File operations on program paths (Windows form: "c:\dir\file"). Every
// operation but FileExists throws Failure carrying the platform's description.

#include <cstdint>
#include <memory>
#include <string>

#include "common/streams.h"

namespace vsu {

// The file-copy object of an upgrade run: made once, used for every copy.
class FileCopier {
 public:
  virtual ~FileCopier() = default;
  // Copies contents (and what the platform keeps with them), overwriting the
  // destination. The failure names what went wrong, then the path concerned.
  virtual void Copy(const std::string& from, const std::string& to) = 0;
};

class Files {
 public:
  virtual ~Files() = default;
  // The file-exists test: true when a listing of exactly this path, for ordinary
  // files, returns a name. Directories, hidden and system files count as
  // missing. Throws Failure only when the listing itself fails.
  virtual bool FileExists(const std::string& path) = 0;
  virtual void RemoveFile(const std::string& path) = 0;
  // Renames within the same folder; fails when the destination exists.
  virtual void RenameFile(const std::string& from, const std::string& to) = 0;
  // A new file-copy object; throws Failure when it cannot be created.
  virtual std::unique_ptr<FileCopier> CreateFileCopier() = 0;
  virtual std::unique_ptr<InputFile> OpenForInput(const std::string& path) = 0;
  // Creates the file empty, replacing one that exists.
  virtual std::unique_ptr<OutputFile> CreateForOutput(const std::string& path) = 0;
  // Creates a folder whose parent exists; one that exists already is kept.
  virtual void CreateFolder(const std::string& path) = 0;
  // Changes nothing; fails, with the description that replacing or deleting
  // the file would give, when path could not be replaced or created now: it
  // is in use by a running program, read-only, not an ordinary file, or its
  // folder is missing or refuses it (as far as the platform tells without
  // writing).
  virtual void ProbeWritable(const std::string& path) = 0;
  // The bytes this process may still write on the volume holding folder.
  virtual std::uint64_t FreeBytes(const std::string& folder) = 0;
};

}  // namespace vsu
