#pragma once
#include <string>

namespace varnok::corvmain {

struct NormalColorPair {
  int text[3] = {0, 0, 0};
  int background[3] = {255, 255, 255};
};

// "VTColor" of section "Corvane" in the settings file: text R,G,B then
// background R,G,B. Black on white when the key is missing or malformed.
NormalColorPair NormalColors(const std::string& settingsPath);

}  // namespace varnok::corvmain
