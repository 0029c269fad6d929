#include "common/program_paths.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace varnok {

std::string ProgramFilePath(const std::string& programDir, const std::string& name) {
  std::string rest = name;
  while (!rest.empty() && rest.front() == '/') rest.erase(0, 1);
  // No directory given: the name alone, never a path in the root folder.
  if (programDir.empty()) return rest;
  if (programDir.back() == '/') return programDir + rest;
  return programDir + "/" + rest;
}

std::string FileNameOf(const std::string& path) {
  auto pos = path.find_last_of("/\\");
  return pos == std::string::npos ? path : path.substr(pos + 1);
}

std::string DisplayName(const std::string& path) {
  // Like the desktop shell: a file that is not there has no display name.
  std::string name = FileNameOf(path);
  return name.empty() || !FileExists(path) ? path : name;
}

std::string EnsureProgramSubdir(const std::string& programDir, const std::string& name, std::string* reason) {
  std::string path = ProgramFilePath(programDir, name);
  std::error_code ec;
  if (fs::is_directory(path, ec)) return path;
  fs::create_directories(path, ec);
  if (!ec && fs::is_directory(path, ec)) return path;
  if (reason) {
    // create_directories reports nothing when a file holds the name.
    *reason = ec ? ec.message() : std::make_error_code(std::errc::not_a_directory).message();
  }
  return {};
}

bool FileExists(const std::string& path) {
  std::error_code ec;
  return !path.empty() && fs::exists(path, ec) && !fs::is_directory(path, ec);
}

}  // namespace varnok
