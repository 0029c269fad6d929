// The system's side of the place decision: whether the program folder is
// ours, and the XDG folders.
#include "platform/program_places.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/runtime_dir.h"

namespace varnok::platform {
namespace {

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? std::string(v) : std::string();
}

// The folders that packages install programs into: never a portable
// folder, even for root, who may write them.
bool IsSystemProgramFolder(const std::string& dir) {
  for (const char* system : {"/usr/bin", "/bin", "/usr/local/bin", VARNOK_SYSTEM_BINDIR})
    if (dir == system) return true;
  return false;
}

// Ours: a real folder that this user owns and may write. A folder that only
// root may write (/usr/bin), a read-only unpacked copy (mode 0555, even for
// root), and a folder another user owns (even one we may write, such as a
// shared 1777 one) are not: files there could not be written, or would be
// someone else's to swap.
bool FolderIsOurs(const std::string& dir) {
  struct stat st {};
  if (dir.empty() || IsSystemProgramFolder(dir)) return false;
  if (::stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
  if (st.st_uid != ::geteuid() || (st.st_mode & S_IWUSR) == 0) return false;
  return ::faccessat(AT_FDCWD, dir.c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

std::string HomeDir() {
  std::string home = Env("HOME");
  if (home.empty()) {
    if (const passwd* pw = ::getpwuid(::getuid())) home = pw->pw_dir;
  }
  return home.empty() ? "/tmp" : home;
}

}  // namespace

PlaceFacts ThisProcessFacts(const std::string& programDir, const std::string& emulatorDirSetting) {
  PlaceFacts facts;
  facts.programDir = programDir;
  facts.programDirOurs = FolderIsOurs(programDir);
  facts.runtimeDir = RuntimeDirPath();
  facts.stateHome = Env("XDG_STATE_HOME");
  facts.home = HomeDir();
  facts.emulatorDirSetting = emulatorDirSetting;
  return facts;
}

}  // namespace varnok::platform
