#include "platform/runtime_dir.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

namespace varnok::platform {
namespace {

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? std::string(v) : std::string();
}

// A private folder: ours, and nobody else can enter it.
bool EnsurePrivateDir(const std::string& path) {
  if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return false;
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid()) return false;
  if ((st.st_mode & 077) != 0 && ::chmod(path.c_str(), 0700) != 0) return false;
  return true;
}

}  // namespace

std::string RuntimeDir() {
  std::string base = Env("XDG_RUNTIME_DIR");
  std::string dir = base.empty() ? "/tmp/varnok-" + std::to_string(::getuid()) : base + "/varnok";
  if (!base.empty()) ::mkdir(base.c_str(), 0700);
  return EnsurePrivateDir(dir) ? dir : std::string();
}

std::string SettingsDir() {
  std::string base = Env("XDG_CONFIG_HOME");
  if (base.empty()) {
    std::string home = Env("HOME");
    if (home.empty()) {
      if (const passwd* pw = ::getpwuid(::getuid())) home = pw->pw_dir;
    }
    base = home + "/.config";
  }
  return base + "/Zelmora";
}

}  // namespace varnok::platform
