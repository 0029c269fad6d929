#include "platform/posix/descriptor_path.h"

#include <unistd.h>

#include <charconv>
#include <string>

namespace varnok::platform {
namespace {

// N of "<prefix>N" with N decimal digits only.
int NumberAfter(std::string_view path, std::string_view prefix) {
  if (!path.starts_with(prefix)) return -1;
  const std::string_view digits = path.substr(prefix.size());
  int fd = -1;
  const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), fd);
  if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size()) return -1;
  return fd;
}

}  // namespace

int DescriptorOfPath(std::string_view path) {
  if (path == "/dev/stdin") return 0;
  if (path == "/dev/stdout") return 1;
  if (path == "/dev/stderr") return 2;
  const std::string ownProc = "/proc/" + std::to_string(::getpid()) + "/fd/";
  for (std::string_view prefix : {std::string_view("/dev/fd/"), std::string_view("/proc/self/fd/"),
                                  std::string_view("/proc/thread-self/fd/"), std::string_view(ownProc)}) {
    if (int fd = NumberAfter(path, prefix); fd >= 0) return fd;
  }
  return -1;
}

}  // namespace varnok::platform
