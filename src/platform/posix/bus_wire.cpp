#include "platform/posix/bus_wire.h"

#include <sys/socket.h>

#include <cstring>
#include <sstream>

namespace varnok::platform {

bool MakeBusAddress(const std::string& path, sockaddr_un& addr) {
  std::memset(&addr, 0, sizeof addr);
  addr.sun_family = AF_UNIX;
  if (path.size() >= sizeof addr.sun_path) return false;
  std::memcpy(addr.sun_path, path.c_str(), path.size());
  return true;
}

bool IsBusSocketName(const std::string& name) {
  return name.rfind(kBusSocketPrefix, 0) == 0 && name.size() > std::strlen(kBusSocketSuffix) &&
         name.compare(name.size() - std::strlen(kBusSocketSuffix), std::string::npos, kBusSocketSuffix) == 0;
}

std::string EncodeBusLine(const std::string& name, std::uint64_t sender, bool ack) {
  return "VKBUS1 " + std::string(ack ? "1" : "0") + " " + std::to_string(sender) + " " + name + "\n";
}

std::optional<BusLine> DecodeBusLine(const std::string& line) {
  std::istringstream in(line);
  std::string magic;
  int ack = 0;
  BusLine d;
  if (!(in >> magic >> ack >> d.sender) || magic != "VKBUS1") return std::nullopt;
  in.get();  // the blank before the name
  std::getline(in, d.name);
  if (d.name.empty()) return std::nullopt;
  d.ack = ack != 0;
  return d;
}

}  // namespace varnok::platform
