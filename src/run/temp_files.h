#pragma once
// The numbered pairs of temporary files of runs ("~macroC<n>.cvl" and
// "~CViniC<n>.ini" in the temporary directory), n running 1..128 and then
// starting at 1 again.
#include <bitset>
#include <cstdint>
#include <string>

#include "platform/private_folder.h"
#include "platform/program_places.h"

namespace varnok::run {

constexpr int kMaxTempFiles = 128;

// The folders "Temp_CVL" and "Logs" where `places` puts them: created when
// missing and private to the user (0700: macros hold user names and may hold
// passwords, logs hold whole sessions). One that is a link or another user's
// is refused, never used (platform::EnsurePrivateFolder). Outside a portable
// program folder their parent ("varnok" in the runtime or state folder) is
// held to the same rule.
platform::PrivateFolder TempDir(const platform::ProgramPlaces& places);
platform::PrivateFolder LogDir(const platform::ProgramPlaces& places);

std::string MacroTempName(int n);     // "~macroC<n>.cvl"
std::string SettingsTempName(int n);  // "~CViniC<n>.ini"

// Removes the files 1..kMaxTempFiles of earlier runs: the macro files, the
// settings files runs write, and the "~CVini<n>.ini" names of older versions.
// Nothing else in the folder is touched. Returns false when the folder is
// unavailable or refused (nothing is removed from another user's folder).
bool CleanTempFiles(const platform::ProgramPlaces& places);

// Where a second start copies the file it hands over: "~" + its file name in
// `tempDir`. A name too long for that keeps its extension and loses the end
// of its stem.
std::string HandOverCopyPath(const std::string& tempDir, const std::string& file);

// Removes `path` once its import is settled, when it is a hand-over copy
// (a "~" name in the Temp_CVL of `places` that is no run's file); any other
// path is left alone.
void RemoveHandOverCopy(const platform::ProgramPlaces& places, const std::string& path);

struct TempFilePair {
  std::int32_t number = 0;
  std::string macroFile;
  std::string settingsFile;
};

// The process's temporary file counter. The first pair after start-up is 1.
// The editor and the companion number their runs in the same folder: a pair
// that another program wrote moments ago (its emulator may not have read it
// yet) is passed over, unless every pair is that fresh.
class TempFileNumbering {
 public:
  explicit TempFileNumbering(std::int32_t counter = 1) : counter_(counter) {}
  // The next pair of paths in `tempDir`; wraps to 1 after kMaxTempFiles.
  TempFilePair next(const std::string& tempDir);
  std::int32_t counter() const { return counter_; }

 private:
  std::int32_t counter_;
  std::bitset<kMaxTempFiles> ours_;  // pairs this numbering has handed out
};

}  // namespace varnok::run
