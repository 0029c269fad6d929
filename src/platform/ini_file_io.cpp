#include "platform/ini_file_io.h"

#include <filesystem>
#include <system_error>

namespace varnok::platform {

WriteResult ReadIniFile(const std::string& path, IniFile& ini) {
  std::string bytes;
  WriteResult r = ReadWholeFile(path, bytes);
  ini = r ? IniFile::parse(bytes) : IniFile();
  return r;
}

WriteResult WriteIniFile(const std::string& path, const IniFile& ini, const WriteOptions& options) {
  return SafeWriteFile(path, ini.serialize(), options);
}

std::string ReadProfileString(const std::string& path, std::string_view section, std::string_view key,
                              std::string_view fallback) {
  IniFile ini;
  if (!ReadIniFile(path, ini)) return std::string(fallback);
  return ini.get(section, key, fallback);
}

WriteResult WriteProfileString(const std::string& path, std::string_view section, std::string_view key,
                               std::string_view value) {
  IniFile ini;
  std::error_code ec;
  if (std::filesystem::exists(path, ec)) {
    if (WriteResult r = ReadIniFile(path, ini); !r) return r;
  }
  if (!ini.set(section, key, value)) {
    return {false, path + ": the key \"" + std::string(key) + "\" of section \"" + std::string(section) +
                       "\" cannot be written with this name or value"};
  }
  return WriteIniFile(path, ini);
}

}  // namespace varnok::platform
