#pragma once
// The numbered pairs of temporary files of runs ("~macroC<n>.cvl" and
// "~CViniC<n>.ini" in the temporary directory), n running 1..128 and then
// starting at 1 again.
#include <cstdint>
#include <string>

namespace varnok::run {

inline constexpr std::int32_t kMaxTempFiles = 128;

std::string MacroTempFileName(std::int32_t n);     // "~macroC" + n + ".cvl"
std::string SettingsTempFileName(std::int32_t n);  // "~CViniC" + n + ".ini"

struct TempFilePair {
  std::int32_t number = 0;
  std::string macroFile;
  std::string settingsFile;
};

// The process's temporary file counter. The first pair after start-up is 1.
class TempFileNumbering {
 public:
  explicit TempFileNumbering(std::int32_t counter = 1) : counter_(counter) {}
  // The next pair of paths in `tempDir`; wraps to 1 after kMaxTempFiles.
  TempFilePair Next(const std::string& tempDir);
  std::int32_t counter() const { return counter_; }

 private:
  std::int32_t counter_;
};

}  // namespace varnok::run
