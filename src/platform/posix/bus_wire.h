#pragma once
// What the sending and the receiving side of the message bus share: the
// socket names in the runtime folder and the one-line message format
//   "VKBUS1 <ack> <sender> <name>\n"
// answered by "OK\n" when the sender asked for an acknowledgement.
#include <sys/un.h>

#include <cstdint>
#include <optional>
#include <string>

namespace varnok::platform::bus {

inline constexpr const char* kPrefix = "bus-";
inline constexpr const char* kSuffix = ".sock";
// A message line is short; a longer one is not ours.
inline constexpr std::size_t kLongestLine = 4096;

bool MakeAddress(const std::string& path, sockaddr_un& addr);
bool IsBusSocketName(const std::string& name);

std::string Encode(const std::string& name, std::uint64_t sender, bool ack);

struct Decoded {
  std::string name;
  std::uint64_t sender = 0;
  bool ack = false;
};
// The message of one line (without its "\n"); nullopt when it is not one.
std::optional<Decoded> Decode(const std::string& line);

}  // namespace varnok::platform::bus
