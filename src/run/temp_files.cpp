#include "run/temp_files.h"

#include <filesystem>
#include <system_error>

#include "common/program_paths.h"

namespace varnok::run {

std::string TempDir(const std::string& programDir, std::string* reason) {
  std::string dir = EnsureProgramSubdir(programDir, "Temp_CVL", reason);
  if (dir.empty()) return dir;
  // An older version made it readable by everyone; a folder of another user
  // is left as it is (the files in it are private anyway).
  std::error_code ec;
  auto perms = std::filesystem::status(dir, ec).permissions();
  if (!ec && (perms & (std::filesystem::perms::group_all | std::filesystem::perms::others_all)) !=
                 std::filesystem::perms::none)
    std::filesystem::permissions(dir, std::filesystem::perms::owner_all, ec);
  return dir;
}

std::string MacroTempName(int n) { return "~macroC" + std::to_string(n) + ".cvl"; }

std::string SettingsTempName(int n) { return "~CViniC" + std::to_string(n) + ".ini"; }

bool CleanTempFiles(const std::string& programDir) {
  std::string dir = TempDir(programDir);
  if (dir.empty()) return false;
  std::error_code ec;  // a file that is not there, or cannot go, is left alone
  for (int n = 1; n <= kMaxTempFiles; ++n) {
    for (const std::string& name :
         {MacroTempName(n), SettingsTempName(n), "~CVini" + std::to_string(n) + ".ini"})
      std::filesystem::remove(dir + "/" + name, ec);
  }
  return true;
}

std::string HandOverCopyPath(const std::string& tempDir, const std::string& file) {
  constexpr std::size_t kMaxName = 255;  // bytes, without the "~"
  std::string name = FileNameOf(file);
  if (name.size() >= kMaxName) {
    auto dot = name.find_last_of('.');
    std::string ext = dot != std::string::npos && name.size() - dot <= 16 ? name.substr(dot) : std::string();
    name = name.substr(0, kMaxName - 1 - ext.size()) + ext;
  }
  return tempDir + "/~" + name;
}

void RemoveHandOverCopy(const std::string& programDir, const std::string& path) {
  const std::string name = FileNameOf(path);
  if (name.size() < 2 || name.front() != '~') return;
  for (int n = 1; n <= kMaxTempFiles; ++n)
    if (name == MacroTempName(n) || name == SettingsTempName(n)) return;
  std::error_code ec;
  const auto folder = std::filesystem::weakly_canonical(std::filesystem::path(path).parent_path(), ec);
  const auto temp = std::filesystem::weakly_canonical(ProgramFilePath(programDir, "Temp_CVL"), ec);
  if (ec || folder != temp) return;
  std::filesystem::remove(path, ec);
}

TempFilePair TempFileNumbering::next(const std::string& tempDir) {
  if (counter_ > kMaxTempFiles || counter_ < 1) counter_ = 1;
  TempFilePair pair;
  pair.number = counter_++;
  std::string dir = tempDir;
  if (dir.empty() || dir.back() != std::filesystem::path::preferred_separator)
    dir += std::filesystem::path::preferred_separator;
  pair.macroFile = dir + MacroTempName(pair.number);
  pair.settingsFile = dir + SettingsTempName(pair.number);
  return pair;
}

}  // namespace varnok::run
