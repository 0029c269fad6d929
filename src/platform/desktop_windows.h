#pragma once
// The windows of other programs on the desktop, through the window manager's
// conventions (EWMH on X11): "Run all selected" minimises them before its
// first start and tiles the emulator windows it started afterwards. Where the
// desktop offers no such calls (no X11 display, a window manager without
// EWMH, a build without X11) the calls do nothing and return false: that is
// no error, the runs go on as they are.
#include <functional>
#include <vector>

namespace varnok::platform {

struct WindowRect {
  int x = 0, y = 0, width = 0, height = 0;
  friend bool operator==(const WindowRect&, const WindowRect&) = default;
};

// `count` rectangles stacked top to bottom over `area`, each of its full
// width; the heights differ by at most one pixel and fill the area exactly.
std::vector<WindowRect> TileHorizontally(const WindowRect& area, int count);

// Minimises every managed window that does not belong to process `ownPid`.
bool MinimizeOtherWindows(int ownPid);

// How many of the processes `pids` show a managed window now.
int CountWindowsOfProcesses(const std::vector<int>& pids);

// Tiles the managed windows of the processes `pids` (in that order, one
// window each) over the work area of the current desktop; returns how many
// were found (a program just started may not show its window yet).
int TileWindowsOfProcesses(const std::vector<int>& pids);

// Hides every window to show the desktop (the manager's "show desktop").
bool ShowDesktop();
// The window manager announces that call.
bool CanShowDesktop();

// The calls as a multi-run makes them; tests put fakes in their place.
struct DesktopWindowCalls {
  std::function<bool(int ownPid)> minimizeOthers = MinimizeOtherWindows;
  std::function<int(const std::vector<int>& pids)> shown = CountWindowsOfProcesses;
  std::function<int(const std::vector<int>& pids)> tile = TileWindowsOfProcesses;
};

}  // namespace varnok::platform
