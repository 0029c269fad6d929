#include "properties/color_set.h"

#include <charconv>
#include <cstdint>
#include <limits>

#include "common/program_paths.h"
#include "platform/ini_file_io.h"
#include "platform/program_names.h"

namespace varnok::properties {

const std::array<ColorSchema, 7> ColorSchemas = {{
    {"Black on Light color", "0:0:0:255:255:216:0:0:255:255:255:216:0:255:255:255:255:216"},
    {"Black on Light Yellow", "0:0:0:255:255:148:0:0:255:255:255:148:0:255:255:255:255:148"},
    {"Black on White", "0:0:0:255:255:255:0:0:255:255:255:255:0:255:255:255:255:255"},
    {"Green Tint", "200:200:200:0:128:128:255:255:0:0:128:128:0:255:255:0:128:128"},
    {"Green on Black", "0:255:0:0:0:0:255:255:0:0:0:0:0:255:255:0:0:0"},
    {"Grey on Black", "200:200:200:0:0:0:216:216:0:0:0:0:0:216:216:0:0:0"},
    {"White on Black", "255:255:255:0:0:0:255:255:0:0:0:0:0:255:255:0:0:0"},
}};

namespace {

// A 32-bit decimal integer with an optional sign, blanks around it allowed.
bool ToInt(std::string_view s, std::int32_t& out) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  if (!s.empty() && s.front() == '+') s.remove_prefix(1);
  if (s.empty()) return false;
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
  return ec == std::errc() && end == s.data() + s.size();
}

}  // namespace

std::uint32_t ColorSet::screenColor(ColorAttribute attribute, ColorPart part) const {
  std::size_t i = index(attribute, part, 0);
  return values[i] + (static_cast<std::uint32_t>(values[i + 1]) << 8) +
         (static_cast<std::uint32_t>(values[i + 2]) << 16);
}

bool ParseColorString(std::string_view text, ColorSet& set) {
  if (text.size() < 35) return false;
  bool valid = true;
  std::string_view rest = text;
  for (std::size_t i = 0; i < ColorSet::kSize; ++i) {
    std::string_view part;
    if (i + 1 < ColorSet::kSize) {
      auto colon = rest.find(':');
      part = colon == std::string_view::npos ? std::string_view{} : rest.substr(0, colon);
      rest = colon == std::string_view::npos ? rest : rest.substr(colon + 1);
    } else {
      part = rest;
    }
    std::int32_t value = 0;
    if (ToInt(part, value)) {
      set.values[i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(value) & 0xFF);
    } else {
      valid = false;
    }
  }
  return valid;
}

std::string FormatColorString(const ColorSet& set) {
  std::string out;
  for (std::size_t i = 0; i < ColorSet::kSize; ++i) {
    if (i) out += ':';
    out += std::to_string(set.values[i]);
  }
  return out;
}

std::string DefaultColorStringFrom(const std::string& emulatorIniPath) {
  const std::string schema0 = ColorSchemas[0].colors;
  IniFile ini;
  if (!FileExists(emulatorIniPath) || !platform::ReadIniFile(emulatorIniPath, ini)) return schema0;
  std::string joined = ini.get("Corvane", "VTColor", "") + "," + ini.get("Corvane", "VTBoldColor", "") + "," +
                       ini.get("Corvane", "VTBlinkColor", "");
  int replaced = 0;
  for (char& c : joined) {
    if (c == ',') {
      c = ':';
      ++replaced;
    }
  }
  if (replaced != 17) return schema0;
  // Values that do not convert would leave holes; the schema is the sound default.
  ColorSet probe;
  if (!ParseColorString(joined, probe)) return schema0;
  return joined;
}

std::string DefaultColorString(const std::string& emulatorDir) {
  return DefaultColorStringFrom(ProgramFilePath(emulatorDir, platform::kEmulatorSettingsFile));
}

ColorSet ColorSetOrDefault(std::string_view stored, const std::string& emulatorDir) {
  ColorSet set;
  if (ParseColorString(stored, set)) return set;
  set = ColorSet{};
  if (!ParseColorString(DefaultColorString(emulatorDir), set)) ParseColorString(ColorSchemas[0].colors, set);
  return set;
}

EditorColorPair EditorColors(std::string_view stored, const std::string& emulatorDir) {
  ColorSet set = ColorSetOrDefault(stored, emulatorDir);
  return {set.screenColor(ColorAttribute::Normal, ColorPart::Text),
          set.screenColor(ColorAttribute::Normal, ColorPart::Background)};
}

}  // namespace varnok::properties
