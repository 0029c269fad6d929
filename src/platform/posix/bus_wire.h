#pragma once
// What the sending and the receiving side of the message bus share: the
// socket names in the runtime folder and the one-line message format
//   "VKBUS1 <ack> <sender> <name>\n"
// answered by "OK\n" when the sender asked for an acknowledgement.
#include <sys/un.h>

#include <cstdint>
#include <optional>
#include <string>

namespace varnok::platform {

inline constexpr const char* kBusSocketPrefix = "bus-";
inline constexpr const char* kBusSocketSuffix = ".sock";
// A message line is short; a longer one is not ours.
inline constexpr std::size_t kLongestBusLine = 4096;

bool MakeBusAddress(const std::string& path, sockaddr_un& addr);
bool IsBusSocketName(const std::string& name);

std::string EncodeBusLine(const std::string& name, std::uint64_t sender, bool ack);

struct BusLine {
  std::string name;
  std::uint64_t sender = 0;
  bool ack = false;
};
// The message of one line (without its "\n"); nullopt when it is not one.
std::optional<BusLine> DecodeBusLine(const std::string& line);

}  // namespace varnok::platform
