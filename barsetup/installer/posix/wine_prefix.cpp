#include "installer/posix/wine_prefix.h"

#include <dirent.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <utility>
#include <vector>

namespace barsetup {
namespace {

bool PathExists(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0;
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameNoCase(const std::string& a, const char* b) {
  size_t i = 0;
  for (; i < a.size() && b[i] != '\0'; ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return i == a.size() && b[i] == '\0';
}

// The entry of dir spelled like name but for case; empty when there is none.
std::string FindNoCase(const std::string& dir, const std::string& name) {
  DIR* d = opendir(dir.c_str());
  if (d == nullptr) return {};
  std::string found;
  while (const dirent* e = readdir(d)) {
    if (SameNoCase(name, e->d_name)) {
      found = e->d_name;
      break;
    }
  }
  closedir(d);
  return found;
}

// The components of rest (separated by "\" or "/"), read as Windows reads a
// full path: "." is dropped and ".." takes away the component before it, but
// never leads above the root of the drive.
std::vector<std::string> Components(const std::string& rest) {
  std::vector<std::string> parts;
  size_t at = 0;
  while (at <= rest.size()) {
    size_t end = rest.find_first_of("\\/", at);
    if (end == std::string::npos) end = rest.size();
    std::string part = rest.substr(at, end - at);
    at = end + 1;
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
      continue;
    }
    parts.push_back(std::move(part));
  }
  return parts;
}

// Appends the components of rest to base.
std::string Resolve(std::string base, const std::string& rest) {
  bool resolving = true;
  for (const std::string& part : Components(rest)) {
    std::string next = base + "/" + part;
    if (resolving && !PathExists(next)) {
      const std::string spelled = FindNoCase(base.empty() ? "/" : base, part);
      if (spelled.empty()) {
        resolving = false;
      } else {
        next = base + "/" + spelled;
      }
    }
    base = std::move(next);
  }
  return base;
}

}  // namespace

WinePrefix::WinePrefix(std::string root) : root_(std::move(root)) {
  while (root_.size() > 1 && root_.back() == '/') root_.pop_back();
}

std::string WinePrefix::DefaultRoot() {
  const char* prefix = std::getenv("WINEPREFIX");
  if (prefix != nullptr && *prefix != '\0') return prefix;
  const char* home = std::getenv("HOME");
  if (home == nullptr || *home == '\0') {
    const passwd* pw = getpwuid(getuid());
    home = pw != nullptr ? pw->pw_dir : "";
  }
  return std::string(home) + "/.wine";
}

bool WinePrefix::ToNative(const std::string& path, std::string* native) const {
  if (!path.empty() && path[0] == '/') {
    std::string out = path;
    for (char& c : out) c = c == '\\' ? '/' : c;
    *native = out;
    return true;
  }
  const bool drive =
      path.size() >= 2 && path[1] == ':' && ((path[0] >= 'a' && path[0] <= 'z') || (path[0] >= 'A' && path[0] <= 'Z'));
  if (!drive || (path.size() > 2 && path[2] != '\\' && path[2] != '/')) return false;
  const std::string device = root_ + "/dosdevices/" + std::string(1, Lower(path[0])) + ":";
  *native = Resolve(device, path.substr(2));
  return true;
}

}  // namespace barsetup
