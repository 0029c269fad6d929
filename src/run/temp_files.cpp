#include "run/temp_files.h"

#include <filesystem>

namespace varnok::run {

std::string MacroTempFileName(std::int32_t n) { return "~macroC" + std::to_string(n) + ".cvl"; }
std::string SettingsTempFileName(std::int32_t n) { return "~CViniC" + std::to_string(n) + ".ini"; }

TempFilePair TempFileNumbering::Next(const std::string& tempDir) {
  if (counter_ > kMaxTempFiles || counter_ < 1) counter_ = 1;
  TempFilePair pair;
  pair.number = counter_++;
  std::string dir = tempDir;
  if (dir.empty() || dir.back() != std::filesystem::path::preferred_separator)
    dir += std::filesystem::path::preferred_separator;
  pair.macroFile = dir + MacroTempFileName(pair.number);
  pair.settingsFile = dir + SettingsTempFileName(pair.number);
  return pair;
}

}  // namespace varnok::run
