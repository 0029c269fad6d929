#include "platform/runtime_dir.h"

#include <pwd.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace varnok::platform {
namespace {

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? std::string(v) : std::string();
}

std::string UserName(uid_t uid) {
  if (const passwd* pw = ::getpwuid(uid))
    return std::string(pw->pw_name) + " (uid " + std::to_string(uid) + ")";
  return "uid " + std::to_string(uid);
}

std::string Kind(mode_t mode) {
  if (S_ISDIR(mode)) return "a folder";
  if (S_ISLNK(mode)) return "a symbolic link";
  if (S_ISREG(mode)) return "a file";
  return "a special file";
}

std::string Mode(mode_t mode) {
  char text[8];
  std::snprintf(text, sizeof text, "%04o", static_cast<unsigned>(mode & 07777));
  return text;
}

}  // namespace

std::string RuntimeDirPath() {
  const std::string base = Env("XDG_RUNTIME_DIR");
  const std::string fallback = "/tmp/varnok-" + std::to_string(::getuid());
  if (base.empty()) return fallback;
  std::string dir = base + "/varnok";
  // A socket's whole path must fit in sockaddr_un; all processes make the same choice.
  if (dir.size() + 1 + kLongestSocketName >= sizeof(sockaddr_un{}.sun_path)) return fallback;
  return dir;
}

namespace {

// "" when `dir` is (now) a private folder of ours; otherwise why not.
std::string MakePrivate(const std::string& dir) {
  if (const std::string base = Env("XDG_RUNTIME_DIR"); !base.empty() && dir.rfind(base + "/", 0) == 0)
    ::mkdir(base.c_str(), 0700);
  if (::mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST)
    return "Cannot create the folder " + dir + ": " + std::strerror(errno);
  struct stat st {};
  if (::lstat(dir.c_str(), &st) != 0) return "Cannot use the folder " + dir + ": " + std::strerror(errno);
  if (!S_ISDIR(st.st_mode) || st.st_uid != ::getuid()) {
    return "The folder " + dir + " for the markers and messages of running programs is not safe: it is " +
           Kind(st.st_mode) + " of " + UserName(st.st_uid) + ", mode " + Mode(st.st_mode) +
           ". Remove it, or set XDG_RUNTIME_DIR to a private folder.";
  }
  // Ours but loose: closed again (lock files planted meanwhile are checked where they are opened).
  if ((st.st_mode & 077) != 0 && ::chmod(dir.c_str(), 0700) != 0)
    return "Cannot make the folder " + dir + " private: " + std::strerror(errno);
  return {};
}

}  // namespace

std::string RuntimeDir() {
  std::string dir = RuntimeDirPath();
  return MakePrivate(dir).empty() ? dir : std::string();
}

std::string RuntimeDirProblem() { return MakePrivate(RuntimeDirPath()); }

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
