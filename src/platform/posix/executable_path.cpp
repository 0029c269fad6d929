#include "platform/executable_path.h"

#include <filesystem>
#include <system_error>

namespace varnok::platform {

std::string ExecutablePath() {
  std::error_code ec;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : exe.string();
}

std::string ExecutableDir() {
  const std::string exe = ExecutablePath();
  std::error_code ec;
  if (exe.empty()) return std::filesystem::current_path(ec).string();
  return std::filesystem::path(exe).parent_path().string();
}

}  // namespace varnok::platform
