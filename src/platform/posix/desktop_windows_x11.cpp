// Minimising and tiling windows through the EWMH and ICCCM client messages a
// window manager on X11 understands. Without a display, without a manager
// that lists its clients, or in a build without X11 nothing happens.
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/desktop_windows.h"

#ifdef VARNOK_HAVE_XCB
#include <xcb/xcb.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#endif

namespace varnok::platform {

#ifdef VARNOK_HAVE_XCB

namespace {

class Display {
 public:
  Display() {
    const char* name = std::getenv("DISPLAY");
    if (!name || !*name) return;
    int screen = 0;
    connection_ = xcb_connect(nullptr, &screen);
    if (xcb_connection_has_error(connection_)) {
      xcb_disconnect(connection_);
      connection_ = nullptr;
      return;
    }
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection_));
    for (int i = 0; i < screen && it.rem; ++i) xcb_screen_next(&it);
    if (!it.data) return;
    root_ = it.data->root;
    rootWidth_ = it.data->width_in_pixels;
    rootHeight_ = it.data->height_in_pixels;
  }
  ~Display() {
    if (connection_) {
      xcb_flush(connection_);
      xcb_disconnect(connection_);
    }
  }
  Display(const Display&) = delete;
  Display& operator=(const Display&) = delete;

  explicit operator bool() const { return connection_ && root_; }

  xcb_atom_t atom(const char* name) {
    xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(connection_, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(connection_, cookie, nullptr), &std::free);
    return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
  }

  // A property of 32-bit values; empty when the window does not have it.
  std::vector<std::uint32_t> values(xcb_window_t window, xcb_atom_t property, xcb_atom_t type) {
    xcb_get_property_cookie_t cookie = xcb_get_property(connection_, 0, window, property, type, 0, 1u << 16);
    std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
        xcb_get_property_reply(connection_, cookie, nullptr), &std::free);
    if (!reply || reply->format != 32) return {};
    const auto* data = static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
    const int count = xcb_get_property_value_length(reply.get()) / 4;
    return {data, data + count};
  }

  // A message to the window manager about `window`, as pagers send them.
  void tell(xcb_window_t window, xcb_atom_t type, std::array<std::uint32_t, 5> data) {
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = type;
    for (std::size_t i = 0; i < data.size(); ++i) event.data.data32[i] = data[i];
    xcb_send_event(connection_, 0, root_,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
  }

  xcb_window_t root() const { return root_; }

  // The windows the manager manages, each with its process (0: unknown).
  std::vector<std::pair<xcb_window_t, int>> clients() {
    std::vector<std::pair<xcb_window_t, int>> out;
    const xcb_atom_t pidAtom = atom("_NET_WM_PID");
    for (std::uint32_t window : values(root_, atom("_NET_CLIENT_LIST"), XCB_ATOM_WINDOW)) {
      const auto pid = values(window, pidAtom, XCB_ATOM_CARDINAL);
      out.emplace_back(window, pid.empty() ? 0 : static_cast<int>(pid.front()));
    }
    return out;
  }

  // The work area of the current desktop, or the whole screen.
  WindowRect workArea() {
    const auto current = values(root_, atom("_NET_CURRENT_DESKTOP"), XCB_ATOM_CARDINAL);
    const auto areas = values(root_, atom("_NET_WORKAREA"), XCB_ATOM_CARDINAL);
    const std::size_t at = (current.empty() ? 0 : current.front()) * 4;
    if (at + 4 <= areas.size())
      return {static_cast<int>(areas[at]), static_cast<int>(areas[at + 1]), static_cast<int>(areas[at + 2]),
              static_cast<int>(areas[at + 3])};
    return {0, 0, rootWidth_, rootHeight_};
  }

 private:
  xcb_connection_t* connection_ = nullptr;
  xcb_window_t root_ = 0;
  int rootWidth_ = 0;
  int rootHeight_ = 0;
};

}  // namespace

bool MinimizeOtherWindows(int ownPid) {
  Display display;
  if (!display) return false;
  const auto clients = display.clients();
  if (clients.empty()) return false;
  const xcb_atom_t changeState = display.atom("WM_CHANGE_STATE");
  constexpr std::uint32_t kIconicState = 3;
  for (const auto& [window, pid] : clients)
    if (pid != ownPid) display.tell(window, changeState, {kIconicState, 0, 0, 0, 0});
  return true;
}

bool CanShowDesktop() {
  Display display;
  if (!display) return false;
  const xcb_atom_t showing = display.atom("_NET_SHOWING_DESKTOP");
  for (std::uint32_t supported :
       display.values(display.root(), display.atom("_NET_SUPPORTED"), XCB_ATOM_ATOM))
    if (supported == showing) return true;
  return false;
}

bool ShowDesktop() {
  if (!CanShowDesktop()) return false;
  Display display;
  display.tell(display.root(), display.atom("_NET_SHOWING_DESKTOP"), {1, 0, 0, 0, 0});
  return true;
}

namespace {

// The window of each of `pids` that has one, in the order of `pids`.
std::vector<std::uint32_t> WindowsOf(Display& display, const std::vector<int>& pids) {
  const auto clients = display.clients();
  std::vector<std::uint32_t> windows;
  for (int pid : pids)
    for (const auto& [window, owner] : clients)
      if (pid != 0 && owner == pid) {
        windows.push_back(window);
        break;  // one window per started emulator: its main window comes first
      }
  return windows;
}

}  // namespace

int CountWindowsOfProcesses(const std::vector<int>& pids) {
  Display display;
  if (!display) return 0;
  return static_cast<int>(WindowsOf(display, pids).size());
}

int TileWindowsOfProcesses(const std::vector<int>& pids) {
  Display display;
  if (!display) return 0;
  const std::vector<std::uint32_t> windows = WindowsOf(display, pids);
  if (windows.empty()) return 0;
  const std::vector<WindowRect> rects =
      TileHorizontally(display.workArea(), static_cast<int>(windows.size()));
  const xcb_atom_t state = display.atom("_NET_WM_STATE");
  const xcb_atom_t maxVert = display.atom("_NET_WM_STATE_MAXIMIZED_VERT");
  const xcb_atom_t maxHorz = display.atom("_NET_WM_STATE_MAXIMIZED_HORZ");
  const xcb_atom_t moveResize = display.atom("_NET_MOVERESIZE_WINDOW");
  const xcb_atom_t frameExtents = display.atom("_NET_FRAME_EXTENTS");
  constexpr std::uint32_t kRemove = 0, kFromPager = 2, kStaticGravity = 10;
  // x, y, width and height of the client area given; sent as a pager.
  constexpr std::uint32_t kMoveFlags =
      kStaticGravity | (1u << 8) | (1u << 9) | (1u << 10) | (1u << 11) | (kFromPager << 12);
  for (std::size_t i = 0; i < windows.size(); ++i) {
    display.tell(windows[i], state, {kRemove, maxVert, maxHorz, kFromPager, 0});
    // The tiles are the frames' places: the manager's borders and title bar
    // (left, right, top, bottom) come off the client area.
    auto extents = display.values(windows[i], frameExtents, XCB_ATOM_CARDINAL);
    extents.resize(4, 0);
    const WindowRect& r = rects[i];
    const auto width = static_cast<int>(r.width - extents[0] - extents[1]);
    const auto height = static_cast<int>(r.height - extents[2] - extents[3]);
    display.tell(
        windows[i], moveResize,
        {kMoveFlags, static_cast<std::uint32_t>(r.x + static_cast<int>(extents[0])),
         static_cast<std::uint32_t>(r.y + static_cast<int>(extents[2])),
         static_cast<std::uint32_t>(std::max(1, width)), static_cast<std::uint32_t>(std::max(1, height))});
  }
  return static_cast<int>(windows.size());
}

#else

bool MinimizeOtherWindows(int) { return false; }
int CountWindowsOfProcesses(const std::vector<int>&) { return 0; }
int TileWindowsOfProcesses(const std::vector<int>&) { return 0; }
bool CanShowDesktop() { return false; }
bool ShowDesktop() { return false; }

#endif

}  // namespace varnok::platform
