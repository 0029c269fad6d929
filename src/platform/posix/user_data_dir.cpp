#include "platform/user_data_dir.h"

#include <cstdlib>

namespace varnok::platform {

std::string UserDataDir() {
  if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data == '/')
    return std::string(data) + "/Zelmora";
  const char* home = std::getenv("HOME");
  return std::string(home && *home ? home : "/tmp") + "/.local/share/Zelmora";
}

}  // namespace varnok::platform
