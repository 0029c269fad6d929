#include "common/program_paths.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace varnok {
namespace {

std::string& OverrideDir() {
  static std::string dir;
  return dir;
}

std::string ExecutableDir() {
  std::error_code ec;
  fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (ec) return fs::current_path(ec).string();
  return exe.parent_path().string();
}

}  // namespace

std::string ProgramDir() {
  if (!OverrideDir().empty()) return OverrideDir();
  static const std::string dir = ExecutableDir();
  return dir;
}

void SetProgramDir(const std::string& dir) {
  std::string d = dir;
  while (d.size() > 1 && d.back() == '/') d.pop_back();
  OverrideDir() = d;
}

std::string ProgramFilePath(const std::string& name) {
  std::string dir = ProgramDir();
  std::string rest = name;
  while (!rest.empty() && rest.front() == '/') rest.erase(0, 1);
  if (!dir.empty() && dir.back() == '/') return dir + rest;
  return dir + "/" + rest;
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

std::string EnsureProgramSubdir(const std::string& name) {
  std::string path = ProgramFilePath(name);
  std::error_code ec;
  if (fs::is_directory(path, ec)) return path;
  fs::create_directories(path, ec);
  if (ec || !fs::is_directory(path, ec)) return {};
  return path;
}

bool FileExists(const std::string& path) {
  std::error_code ec;
  return !path.empty() && fs::exists(path, ec) && !fs::is_directory(path, ec);
}

}  // namespace varnok
