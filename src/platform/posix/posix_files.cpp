#include "platform/posix/posix_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string_view>

#include "platform/posix/errors.h"
#include "platform/posix/path_map.h"
#include "platform/posix/proc_fs.h"
#include "platform/posix/unique_fd.h"

namespace vsu::posix {
namespace {

std::string Mapped(const std::string& path) {
  auto mapped = MapPath(path);
  if (!mapped) ThrowFileError(ENOTDIR, path);  // an unmapped drive: "Path not found"
  return *mapped;
}

bool IsHidden(std::string_view name) { return !name.empty() && name[0] == '.'; }

bool HasWildcard(std::string_view name) { return name.find_first_of("*?") != std::string_view::npos; }

// A folder, pipe or device where a file is expected is refused at once: reading
// a pipe or a device would block or never end.
void RequireRegular(const struct stat& st, const std::string& path) {
  if (!S_ISREG(st.st_mode)) ThrowFileError(EISDIR, path);
}

// Windows refuses to delete, rename or overwrite the file of a running program.
void RequireNotRunning(const std::string& mapped, const std::string& path) {
  struct stat st;
  if (::stat(mapped.c_str(), &st) == 0 && IsRunningProgram(st)) ThrowFileError(ETXTBSY, path);
}

// Opens an existing ordinary file for reading without ever blocking on it.
UniqueFd OpenRegularForReading(const std::string& mapped, const std::string& path) {
  UniqueFd fd(::open(mapped.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (!fd) ThrowFileError(errno, path);
  struct stat st;
  if (::fstat(fd.get(), &st) != 0) ThrowFileError(errno, path);
  RequireRegular(st, path);
  ::fcntl(fd.get(), F_SETFL, ::fcntl(fd.get(), F_GETFL) & ~O_NONBLOCK);
  return fd;
}

void WriteAll(int fd, const char* data, std::size_t size, const std::string& path) {
  while (size > 0) {
    const auto n = ::write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      ThrowFileError(errno, path);
    }
    data += n;
    size -= static_cast<std::size_t>(n);
  }
}

class PosixInputFile : public InputFile {
 public:
  PosixInputFile(UniqueFd fd, std::string path) : fd_(std::move(fd)), path_(std::move(path)) {}
  std::size_t Read(char* buffer, std::size_t size) override {
    for (;;) {
      const auto n = ::read(fd_.get(), buffer, size);
      if (n >= 0) return static_cast<std::size_t>(n);
      if (errno != EINTR) ThrowFileError(errno, path_);
    }
  }

 private:
  UniqueFd fd_;
  std::string path_;
};

class PosixOutputFile : public OutputFile {
 public:
  PosixOutputFile(UniqueFd fd, std::string path) : fd_(std::move(fd)), path_(std::move(path)) {}
  void Write(std::string_view bytes) override { WriteAll(fd_.get(), bytes.data(), bytes.size(), path_); }
  // The contents reach the disk before the file is closed, so a file renamed
  // into place afterwards is whole even after a power cut.
  void Close() override {
    if (::fsync(fd_.get()) != 0) ThrowFileError(errno, path_);
    if (!fd_.Close()) ThrowFileError(errno, path_);
  }

 private:
  UniqueFd fd_;
  std::string path_;
};

// A wildcard name matches an ordinary, visible file of its folder, as a listing would.
bool WildcardMatches(const std::string& mapped) {
  const auto slash = mapped.rfind('/');
  const std::string dir = slash == std::string::npos ? "." : mapped.substr(0, slash + 1);
  const std::string pattern = mapped.substr(slash == std::string::npos ? 0 : slash + 1);
  std::unique_ptr<DIR, int (*)(DIR*)> d(::opendir(dir.c_str()), ::closedir);
  if (!d) return false;
  while (const dirent* entry = ::readdir(d.get())) {
    if (IsHidden(entry->d_name) || ::fnmatch(pattern.c_str(), entry->d_name, FNM_CASEFOLD) != 0) continue;
    struct stat st;
    if (::stat((dir + entry->d_name).c_str(), &st) == 0 && S_ISREG(st.st_mode)) return true;
  }
  return false;
}

}  // namespace

bool PosixFiles::FileExists(const std::string& path) {
  const auto mapped = MapPath(path);
  if (!mapped) return false;
  const auto name = BaseName(*mapped);
  if (HasWildcard(name)) return WildcardMatches(*mapped);
  if (IsHidden(name)) return false;
  struct stat st;
  if (::stat(mapped->c_str(), &st) != 0) {
    if (errno == ENOENT || errno == ENOTDIR) return false;
    ThrowFileError(errno, path);
  }
  return S_ISREG(st.st_mode);
}

void PosixFiles::RemoveFile(const std::string& path) {
  const auto mapped = Mapped(path);
  struct stat st;
  if (::lstat(mapped.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) ThrowFileError(ENOENT, path);
  RequireNotRunning(mapped, path);
  if (::unlink(mapped.c_str()) != 0) ThrowFileError(errno, path);
}

void PosixFiles::RenameFile(const std::string& from, const std::string& to) {
  const auto source = Mapped(from);
  const auto target = Mapped(to);
  struct stat st;
  if (::lstat(source.c_str(), &st) != 0) ThrowFileError(errno, from);
  RequireNotRunning(source, from);
  // A rename never replaces an existing file.
  if (::link(source.c_str(), target.c_str()) != 0) ThrowFileError(errno, to);
  if (::unlink(source.c_str()) != 0) {
    const int err = errno;
    ::unlink(target.c_str());
    ThrowFileError(err, from);
  }
}

void PosixFiles::CopyFile(const std::string& from, const std::string& to) {
  const auto source = Mapped(from);
  const auto target = Mapped(to);
  UniqueFd in = OpenRegularForReading(source, from);
  struct stat st;
  if (::fstat(in.get(), &st) != 0) ThrowFileError(errno, from);
  {
    // The destination must be writable where it is, as an overwrite in place would require.
    struct stat existing;
    if (::stat(target.c_str(), &existing) == 0) {
      RequireRegular(existing, to);
      if (IsRunningProgram(existing)) ThrowFileError(ETXTBSY, to);
    }
  }
  // Written beside the destination and renamed over it, so the destination is
  // never half-written. The name is always the same, so a copy that was cut
  // short leaves a file that the next copy to that destination reuses.
  const std::string temp = target + ".vsu-copy";
  UniqueFd out(::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600));
  if (!out) ThrowFolderError(errno, to);
  try {
    char buffer[1 << 16];
    for (;;) {
      const auto n = ::read(in.get(), buffer, sizeof buffer);
      if (n == 0) break;
      if (n < 0) {
        if (errno == EINTR) continue;
        ThrowFileError(errno, from);
      }
      WriteAll(out.get(), buffer, static_cast<std::size_t>(n), to);
    }
    if (::fchmod(out.get(), st.st_mode & 07777) != 0) ThrowFileError(errno, to);
    if (!out.Close()) ThrowFileError(errno, to);
    if (::rename(temp.c_str(), target.c_str()) != 0) ThrowFileError(errno, to);
  } catch (...) {
    ::unlink(temp.c_str());
    throw;
  }
}

std::unique_ptr<FileCopier> PosixFiles::CreateFileCopier() {
  class Copier : public FileCopier {
   public:
    explicit Copier(PosixFiles& files) : files_(files) {}
    void Copy(const std::string& from, const std::string& to) override { files_.CopyFile(from, to); }

   private:
    PosixFiles& files_;
  };
  return std::make_unique<Copier>(*this);
}

std::unique_ptr<InputFile> PosixFiles::OpenForInput(const std::string& path) {
  const auto mapped = Mapped(path);
  return std::make_unique<PosixInputFile>(OpenRegularForReading(mapped, path), path);
}

std::unique_ptr<OutputFile> PosixFiles::CreateForOutput(const std::string& path) {
  const auto mapped = Mapped(path);
  struct stat st;
  if (::stat(mapped.c_str(), &st) == 0) RequireRegular(st, path);
  UniqueFd fd(::open(mapped.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK | O_CLOEXEC, 0644));
  if (!fd) ThrowFolderError(errno, path);
  if (::fstat(fd.get(), &st) != 0) ThrowFileError(errno, path);
  RequireRegular(st, path);
  ::fcntl(fd.get(), F_SETFL, ::fcntl(fd.get(), F_GETFL) & ~O_NONBLOCK);
  return std::make_unique<PosixOutputFile>(std::move(fd), path);
}

void PosixFiles::CreateFolder(const std::string& path) {
  const auto mapped = Mapped(path);
  if (::mkdir(mapped.c_str(), 0755) == 0) return;
  const int err = errno;
  struct stat st;
  if (err == EEXIST && ::stat(mapped.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return;
  ThrowFolderError(err, path);
}

// The upgrade replaces a file by deleting it or by renaming a copy over it,
// both changes of its folder; so the folder must take changes, and the file
// must be an ordinary one that no running program holds.
void PosixFiles::ProbeWritable(const std::string& path) {
  const auto mapped = Mapped(path);
  struct stat st;
  if (::stat(mapped.c_str(), &st) == 0) {
    RequireRegular(st, path);
    if (IsRunningProgram(st)) ThrowFileError(ETXTBSY, path);
  } else if (errno != ENOENT) {
    ThrowFileError(errno, path);
  }
  const auto slash = mapped.rfind('/');
  const std::string folder = slash == 0 ? "/" : mapped.substr(0, slash);
  if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) ThrowFileError(ENOTDIR, path);
  if (::access(folder.c_str(), W_OK) != 0) ThrowFileError(errno, path);
}

std::uint64_t PosixFiles::FreeBytes(const std::string& folder) {
  const auto mapped = Mapped(folder);
  struct statvfs fs;
  if (::statvfs(mapped.c_str(), &fs) != 0) ThrowFolderError(errno, folder);
  return static_cast<std::uint64_t>(fs.f_bavail) * fs.f_frsize;
}

}  // namespace vsu::posix
