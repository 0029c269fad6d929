#include "run/emulator.h"

#include "common/program_paths.h"
#include "platform/direct_write.h"
#include "platform/program_names.h"
#include "run/macro_text.h"

namespace varnok::run {
namespace {

std::string SixValues(const properties::ColorSet& colors, std::size_t first) {
  std::string out;
  for (std::size_t i = first; i < first + 6; ++i) {
    if (i != first) out += ',';
    out += std::to_string(colors.values[i]);
  }
  return out;
}

template <typename Apply>
platform::WriteResult ChangeExistingFile(const std::string& path, Apply apply) {
  if (!FileExists(path)) return {};
  IniFile ini;
  if (platform::WriteResult r = platform::ReadIniFile(path, ini); !r) return r;
  apply(ini);
  return platform::WriteIniFile(path, ini);
}

}  // namespace

std::string EmulatorExeName() { return platform::kEmulatorFile; }

std::string EmulatorExePath(const std::string& emulatorDir) {
  return ProgramFilePath(emulatorDir, platform::kEmulatorFile);
}

bool EmulatorBelongsInProgramFolder(const platform::ProgramPlaces& places) {
  return places.portable && places.emulatorDir == places.programDir;
}

std::optional<std::string> CheckEmulatorPresent(const platform::ProgramPlaces& places) {
  if (FileExists(EmulatorExePath(places.emulatorDir))) return std::nullopt;
  if (EmulatorBelongsInProgramFolder(places))
    return ToUpperAscii(platform::kEmulatorFile) + " not found.\rPlease move " + platform::kEditorFile +
           " into Corvane directory and restart it.";
  return ToUpperAscii(platform::kEmulatorFile) + " not found in " + places.emulatorDir +
         ".\rSet the emulator folder on the Settings page.";
}

std::string EmulatorIniPath(const std::string& emulatorDir) {
  return ProgramFilePath(emulatorDir, platform::kEmulatorSettingsFile);
}

void ApplyIniColors(IniFile& ini, const properties::ColorSet& colors) {
  ini.set("Corvane", "VTColor", SixValues(colors, 0));
  ini.set("Corvane", "VTBoldColor", SixValues(colors, 6));
  ini.set("Corvane", "VTBlinkColor", SixValues(colors, 12));
}

void ApplyIniBackgroundOff(IniFile& ini) { ini.set("BG", "BGEnable", "off"); }

platform::WriteResult WriteIniColors(const std::string& path, const properties::ColorSet& colors) {
  return ChangeExistingFile(path, [&](IniFile& ini) { ApplyIniColors(ini, colors); });
}

platform::WriteResult WriteIniBackgroundOff(const std::string& path) {
  return ChangeExistingFile(path, [](IniFile& ini) { ApplyIniBackgroundOff(ini); });
}

platform::WriteResult WriteRunSettings(const std::string& emulatorIni, const std::string& settingsFile,
                                       const properties::ColorSet* colors) {
  std::string original;
  if (platform::WriteResult r = platform::ReadWholeFile(emulatorIni, original); !r) return r;
  IniFile copy = IniFile::parse(JoinLines(SplitLines(original)));
  if (colors) ApplyIniColors(copy, *colors);
  ApplyIniBackgroundOff(copy);
  return platform::WriteNewPrivateFile(settingsFile, copy.serialize());
}

std::vector<std::string> EmulatorArguments(const std::string& settingsFile, const std::string& macroFile) {
  return {"/F=" + settingsFile, "/M=" + macroFile};
}

}  // namespace varnok::run
