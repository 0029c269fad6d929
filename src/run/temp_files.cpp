#include "run/temp_files.h"

#include <chrono>
#include <filesystem>
#include <system_error>

#include "common/program_paths.h"

namespace varnok::run {

namespace {

platform::PrivateFolder EnsurePlace(const platform::ProgramPlaces& places, const std::string& path,
                                    const std::string& label) {
  if (!places.portable) {
    // A "varnok" folder that someone else made could swap our folder under us.
    platform::PrivateFolder parent =
        platform::EnsurePrivateFolder(std::filesystem::path(path).parent_path().string(), "varnok");
    if (!parent.ok()) return parent;
  }
  return platform::EnsurePrivateFolder(path, label);
}

}  // namespace

platform::PrivateFolder TempDir(const platform::ProgramPlaces& places) {
  return EnsurePlace(places, places.tempDir, "Temp_CVL");
}

platform::PrivateFolder LogDir(const platform::ProgramPlaces& places) {
  return EnsurePlace(places, places.logDir, "Logs");
}

std::string MacroTempName(int n) { return "~macroC" + std::to_string(n) + ".cvl"; }

std::string SettingsTempName(int n) { return "~CViniC" + std::to_string(n) + ".ini"; }

bool CleanTempFiles(const platform::ProgramPlaces& places) {
  const std::string dir = TempDir(places).path;
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

void RemoveHandOverCopy(const platform::ProgramPlaces& places, const std::string& path) {
  const std::string name = FileNameOf(path);
  if (name.size() < 2 || name.front() != '~') return;
  for (int n = 1; n <= kMaxTempFiles; ++n)
    if (name == MacroTempName(n) || name == SettingsTempName(n)) return;
  std::error_code ec;
  const auto folder = std::filesystem::weakly_canonical(std::filesystem::path(path).parent_path(), ec);
  const auto temp = std::filesystem::weakly_canonical(places.tempDir, ec);
  if (ec || folder != temp) return;
  std::filesystem::remove(path, ec);
}

namespace {

// Long enough for an emulator to have started and read its files.
constexpr auto kFreshFor = std::chrono::seconds(30);

bool WrittenMomentsAgo(const std::string& path) {
  std::error_code ec;
  const auto written = std::filesystem::last_write_time(path, ec);
  return !ec && std::filesystem::file_time_type::clock::now() - written < kFreshFor;
}

}  // namespace

TempFilePair TempFileNumbering::next(const std::string& tempDir) {
  std::string dir = tempDir;
  if (dir.empty() || dir.back() != std::filesystem::path::preferred_separator)
    dir += std::filesystem::path::preferred_separator;
  const auto pairOf = [&dir](std::int32_t n) {
    return TempFilePair{n, dir + MacroTempName(n), dir + SettingsTempName(n)};
  };
  if (counter_ > kMaxTempFiles || counter_ < 1) counter_ = 1;
  const std::int32_t first = counter_;
  for (int tries = 0; tries < kMaxTempFiles; ++tries) {
    if (counter_ > kMaxTempFiles) counter_ = 1;
    const std::int32_t n = counter_++;
    const auto bit = static_cast<std::size_t>(n - 1);
    // The turn's own pair is ours to reuse; beyond it only pairs nobody wrote lately.
    if ((tries == 0 && ours_[bit]) || !WrittenMomentsAgo(dir + MacroTempName(n))) {
      ours_.set(bit);
      return pairOf(n);
    }
  }
  // Every pair is fresh from another program: take the turn's own.
  counter_ = first % kMaxTempFiles + 1;
  ours_.set(static_cast<std::size_t>(first - 1));
  return pairOf(first);
}

}  // namespace varnok::run
