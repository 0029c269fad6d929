#include "platform/home_dir.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

namespace varnok::platform {

std::string HomeDirectory() {
  if (const char* home = std::getenv("HOME"); home && *home) return home;
  if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_dir) return entry->pw_dir;
  return "";
}

}  // namespace varnok::platform
