#include "platform/system_info.h"

#include <pwd.h>
#include <unistd.h>

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>

#ifdef VARNOK_HAVE_XCB
#include <xcb/xcb.h>
#endif

namespace varnok::platform {

std::string LogonName() {
  if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_name) return pw->pw_name;
  const char* user = std::getenv("USER");
  return user ? user : "";
}

std::string ComputerName() {
  char name[HOST_NAME_MAX + 1] = {};
  if (::gethostname(name, sizeof name - 1) != 0) return {};
  return name;
}

#ifdef VARNOK_HAVE_XCB

namespace {

// One connection for the program's life, opened at the first question: the
// editor asks on every key. Without a display it stays closed and every
// lock reads as off.
class IndicatorDisplay {
 public:
  IndicatorDisplay() {
    const char* name = std::getenv("DISPLAY");
    if (!name || !*name) return;
    connection_ = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection_)) {
      xcb_disconnect(connection_);
      connection_ = nullptr;
    }
  }
  ~IndicatorDisplay() {
    if (connection_) xcb_disconnect(connection_);
  }
  IndicatorDisplay(const IndicatorDisplay&) = delete;
  IndicatorDisplay& operator=(const IndicatorDisplay&) = delete;

  // The core keyboard's LEDs, which an XKB server keeps equal to its
  // indicators; nullopt without a display.
  std::optional<std::uint32_t> ledMask() const {
    if (!connection_) return std::nullopt;
    std::unique_ptr<xcb_get_keyboard_control_reply_t, decltype(&std::free)> reply(
        xcb_get_keyboard_control_reply(connection_, xcb_get_keyboard_control(connection_), nullptr),
        &std::free);
    if (!reply) return std::nullopt;
    return reply->led_mask;
  }

 private:
  xcb_connection_t* connection_ = nullptr;
};

}  // namespace

LockKeys LockKeyState() {
  static const IndicatorDisplay display;
  LockKeys keys;
  const std::optional<std::uint32_t> mask = display.ledMask();
  if (!mask) return keys;
  // The core keyboard's standard indicator order: Caps, Num, Scroll.
  keys.caps = *mask & 1u;
  keys.num = *mask & 2u;
  keys.scroll = *mask & 4u;
  return keys;
}

#else

LockKeys LockKeyState() { return {}; }

#endif

}  // namespace varnok::platform
