#include "platform/desktop_windows.h"

#include <algorithm>

namespace varnok::platform {

std::vector<WindowRect> TileHorizontally(const WindowRect& area, int count) {
  std::vector<WindowRect> out;
  if (count <= 0 || area.height <= 0) return out;
  for (int i = 0; i < count; ++i) {
    // Integer bounds: row i runs from i*h/n to (i+1)*h/n, so nothing is left over.
    const int top = area.y + static_cast<int>(static_cast<long long>(area.height) * i / count);
    const int bottom = area.y + static_cast<int>(static_cast<long long>(area.height) * (i + 1) / count);
    out.push_back({area.x, top, area.width, std::max(1, bottom - top)});
  }
  return out;
}

}  // namespace varnok::platform
