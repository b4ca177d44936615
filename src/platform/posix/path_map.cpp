#include "platform/posix/path_map.h"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

#include <cstdlib>
#include <memory>

namespace vsu::posix {
namespace {

bool Exists(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0;
}

// The name in dir that equals name ignoring case; the smallest one when several do.
std::optional<std::string> FindIgnoringCase(const std::string& dir, const std::string& name) {
  std::unique_ptr<DIR, int (*)(DIR*)> d(::opendir(dir.empty() ? "." : dir.c_str()), ::closedir);
  if (!d) return std::nullopt;
  std::optional<std::string> best;
  while (const dirent* entry = ::readdir(d.get())) {
    if (::strcasecmp(entry->d_name, name.c_str()) == 0 && (!best || entry->d_name < *best)) {
      best = entry->d_name;
    }
  }
  return best;
}

std::string Join(const std::string& dir, const std::string& name) {
  if (dir.empty()) return name;
  if (dir.back() == '/') return dir + name;
  return dir + "/" + name;
}

}  // namespace

std::optional<std::string> MapPath(std::string_view programPath) {
  std::string path(programPath);
  for (auto& c : path) {
    if (c == '\\') c = '/';
  }
  std::string base;
  std::string rest;
  if (path.size() >= 2 && path[1] == ':' &&
      ((path[0] >= 'a' && path[0] <= 'z') || (path[0] >= 'A' && path[0] <= 'Z'))) {
    char letter = path[0];
    if (letter >= 'a') letter = static_cast<char>(letter - 'a' + 'A');
    const std::string variable = std::string("VELASCANUPG_DRIVE_") + letter;
    const char* root = std::getenv(variable.c_str());
    if (!root || !*root) return std::nullopt;
    base = root;
    rest = path.substr(2);
  } else if (!path.empty() && path[0] == '/') {
    base = "/";
    rest = path.substr(1);
  } else {
    rest = path;
  }

  std::string current = base;
  std::size_t start = 0;
  while (start <= rest.size()) {
    auto end = rest.find('/', start);
    if (end == std::string::npos) end = rest.size();
    const std::string component = rest.substr(start, end - start);
    start = end + 1;
    if (component.empty()) continue;
    std::string candidate = Join(current, component);
    if (!Exists(candidate) && component != "." && component != "..") {
      if (auto match = FindIgnoringCase(current, component)) candidate = Join(current, *match);
    }
    current = std::move(candidate);
  }
  if (current.empty()) current = ".";
  if (!rest.empty() && rest.back() == '/' && current.back() != '/') current += '/';
  return current;
}

std::string_view BaseName(std::string_view path) {
  while (path.size() > 1 && path.back() == '/') path.remove_suffix(1);
  const auto slash = path.rfind('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

}  // namespace vsu::posix
