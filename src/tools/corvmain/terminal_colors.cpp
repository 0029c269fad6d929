#include "terminal_colors.h"

#include <sstream>

#include "platform/ini_file_io.h"

namespace varnok::corvmain {

NormalColorPair NormalColors(const std::string& settingsPath) {
  NormalColorPair colors;
  std::istringstream in(platform::ReadProfileString(settingsPath, "Corvane", "VTColor"));
  int values[6];
  std::string item;
  for (int i = 0; i < 6; ++i) {
    if (!std::getline(in, item, ',')) return colors;
    try {
      values[i] = std::stoi(item) & 0xFF;
    } catch (...) {
      return colors;
    }
  }
  for (int i = 0; i < 3; ++i) {
    colors.text[i] = values[i];
    colors.background[i] = values[i + 3];
  }
  return colors;
}

}  // namespace varnok::corvmain
