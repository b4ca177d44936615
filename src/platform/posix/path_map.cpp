#include "platform/posix/path_map.h"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <vector>

namespace vsu::posix {
namespace {

bool Exists(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0;
}

// The name in dir that equals name ignoring case; the smallest one when several do.
std::optional<std::string> FindIgnoringCase(const std::string& dir, const std::string& name) {
  std::unique_ptr<DIR, int (*)(DIR*)> d(::opendir(dir.c_str()), ::closedir);
  if (!d) return std::nullopt;
  std::optional<std::string> best;
  while (const dirent* entry = ::readdir(d.get())) {
    if (::strcasecmp(entry->d_name, name.c_str()) == 0 && (!best || entry->d_name < *best)) {
      best = entry->d_name;
    }
  }
  return best;
}

std::vector<std::string> Components(std::string_view path) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= path.size()) {
    auto end = path.find('/', start);
    if (end == std::string_view::npos) end = path.size();
    if (end > start) parts.emplace_back(path.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

// The drive's folder without a trailing "/", made absolute, so that a change of
// the current directory does not move the drive.
std::optional<std::string> DriveRoot(char letter) {
  const std::string variable = std::string("VELASCANUPG_DRIVE_") + letter;
  const char* root = std::getenv(variable.c_str());
  if (!root || !*root) return std::nullopt;
  std::unique_ptr<char, void (*)(void*)> resolved(::realpath(root, nullptr), std::free);
  std::string folder = resolved ? resolved.get() : root;
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder;
}

struct Location {
  std::string root;                   // the drive's folder
  std::vector<std::string> relative;  // the components below it
};

// The mapped drive that holds the current directory, and where in it that is.
std::optional<Location> CurrentDirectory() {
  std::unique_ptr<char, void (*)(void*)> here(::getcwd(nullptr, 0), std::free);
  if (!here) return std::nullopt;
  const std::string cwd = here.get();
  std::optional<Location> best;
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    const auto root = DriveRoot(letter);
    if (!root) continue;
    const bool inside = cwd == *root || *root == "/" ||
                        (cwd.size() > root->size() && cwd.compare(0, root->size(), *root) == 0 &&
                         cwd[root->size()] == '/');
    // Of drives nested in one another, the innermost one holds the directory.
    if (inside && (!best || root->size() > best->root.size())) {
      best = Location{*root, Components(std::string_view(cwd).substr(*root == "/" ? 0 : root->size()))};
    }
  }
  return best;
}

std::string Join(const std::string& dir, const std::string& name) {
  return dir.back() == '/' ? dir + name : dir + "/" + name;
}

}  // namespace

std::optional<std::string> MapPath(std::string_view programPath) {
  std::string path(programPath);
  for (auto& c : path) {
    if (c == '\\') c = '/';
  }
  Location at;
  std::string_view rest = path;
  if (path.size() >= 2 && path[1] == ':' &&
      ((path[0] >= 'a' && path[0] <= 'z') || (path[0] >= 'A' && path[0] <= 'Z'))) {
    const char letter = static_cast<char>(path[0] >= 'a' ? path[0] - 'a' + 'A' : path[0]);
    auto root = DriveRoot(letter);
    if (!root) return std::nullopt;
    at.root = std::move(*root);
    rest.remove_prefix(2);
  } else if (path.size() >= 2 && path[0] == '/' && path[1] == '/') {
    return std::nullopt;  // a network path: no share is mapped
  } else {
    auto current = CurrentDirectory();
    if (!current) return std::nullopt;
    at = std::move(*current);
    if (!path.empty() && path[0] == '/') at.relative.clear();
  }

  for (auto& component : Components(rest)) {
    if (component == ".") continue;
    if (component == "..") {
      if (!at.relative.empty()) at.relative.pop_back();
      continue;
    }
    at.relative.push_back(std::move(component));
  }
  std::string current = at.root;
  for (const auto& component : at.relative) {
    std::string candidate = Join(current, component);
    if (!Exists(candidate)) {
      if (auto match = FindIgnoringCase(current, component)) candidate = Join(current, *match);
    }
    current = std::move(candidate);
  }
  if (!rest.empty() && rest.back() == '/' && current.back() != '/') current += '/';
  return current;
}

std::string_view BaseName(std::string_view path) {
  while (path.size() > 1 && path.back() == '/') path.remove_suffix(1);
  const auto slash = path.rfind('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

}  // namespace vsu::posix
