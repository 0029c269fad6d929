#include "bus_client.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

namespace varnok::test {

int ConnectToBusSocket(const std::string& runtimeDir, const std::string& prefix) {
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(runtimeDir, ec)) {
    if (e.path().filename().string().rfind(prefix, 0) != 0) continue;
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::strncpy(addr.sun_path, e.path().c_str(), sizeof addr.sun_path - 1);
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) return fd;
    ::close(fd);
  }
  return -1;
}

}  // namespace varnok::test
