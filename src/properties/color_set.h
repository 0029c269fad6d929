#pragma once
// The six terminal colours of a connection (text and background for the
// Normal, Bold and Blink attributes) and their text form, the colour string:
// the 18 values in index order, in decimal, joined by ":".
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace varnok::properties {

enum class ColorAttribute { Normal = 0, Bold = 1, Blink = 2 };
enum class ColorPart { Text = 0, Background = 1 };

struct ColorSet {
  static constexpr std::size_t kSize = 18;
  // Index attribute * 6 + part * 3 + channel (R, G, B).
  std::array<std::uint8_t, kSize> values{};

  static constexpr std::size_t index(ColorAttribute attribute, ColorPart part, int channel) {
    return static_cast<std::size_t>(attribute) * 6 + static_cast<std::size_t>(part) * 3 +
           static_cast<std::size_t>(channel);
  }
  // The screen colour of a triple: R + G*256 + B*65536.
  std::uint32_t screenColor(ColorAttribute attribute, ColorPart part) const;

  bool operator==(const ColorSet&) const = default;
};

// Loads `set` from a colour string. Returns false for a text shorter than 35
// characters (the set is left unchanged) or when any of the 18 values does not
// convert (those positions keep their value; the others are still loaded).
// Values are stored modulo 256 (256 gives 0, -1 gives 255). A string with
// more than 18 values fails on the 18th.
bool ParseColorString(std::string_view text, ColorSet& set);

// The colour string of `set`.
std::string FormatColorString(const ColorSet& set);

struct ColorSchema {
  const char* caption;
  const char* colors;
};
// The predefined schemas in the order of the "Color schema:" list; row 0 is
// also the built-in default colour set.
extern const std::array<ColorSchema, 7> ColorSchemas;

// The default colour string, read anew on every call from the keys
// "VTColor", "VTBoldColor" and "VTBlinkColor" of section "Corvane" of the
// emulator's settings file "corvane.ini" in the emulator folder
// `emulatorDir`. Schema 0 when the file is missing, the keys do not hold 18
// comma-separated values together, or any of the values does not convert.
std::string DefaultColorString(const std::string& emulatorDir);
// The same for an explicitly named emulator settings file.
std::string DefaultColorStringFrom(const std::string& emulatorIniPath);

// The colour set a stored colour string stands for: the string parsed into a
// fresh set, or the default colour set of `emulatorDir` when it is not valid.
ColorSet ColorSetOrDefault(std::string_view stored, const std::string& emulatorDir);

// The macro editor's colours of a connection: the Normal text and Normal
// background screen colours of its stored colour string (of the default
// colour set when that is not valid).
struct EditorColorPair {
  std::uint32_t text = 0;
  std::uint32_t background = 0;
};
EditorColorPair EditorColors(std::string_view stored, const std::string& emulatorDir);

}  // namespace varnok::properties
