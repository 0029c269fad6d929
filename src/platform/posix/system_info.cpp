#include "platform/system_info.h"

#include <dlfcn.h>
#include <pwd.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>

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

namespace {

// libX11 is loaded when first needed, so the core links no display library
// and runs without one.
struct X11Indicators {
  using OpenDisplay = void* (*)(const char*);
  using GetIndicatorState = int (*)(void*, unsigned int, unsigned int*);
  void* display = nullptr;
  GetIndicatorState getState = nullptr;

  X11Indicators() {
    if (!std::getenv("DISPLAY")) return;
    void* lib = ::dlopen("libX11.so.6", RTLD_LAZY | RTLD_LOCAL);
    if (!lib) return;
    auto open = reinterpret_cast<OpenDisplay>(::dlsym(lib, "XOpenDisplay"));
    getState = reinterpret_cast<GetIndicatorState>(::dlsym(lib, "XkbGetIndicatorState"));
    if (open && getState) display = open(nullptr);
  }
};

}  // namespace

LockKeys LockKeyState() {
  static X11Indicators x11;
  LockKeys keys;
  if (!x11.display) return keys;
  constexpr unsigned int kUseCoreKbd = 0x0100;
  unsigned int state = 0;
  if (x11.getState(x11.display, kUseCoreKbd, &state) != 0) return keys;
  // The core keyboard's standard indicator order: Caps, Num, Scroll.
  keys.caps = state & 1u;
  keys.num = state & 2u;
  keys.scroll = state & 4u;
  return keys;
}

}  // namespace varnok::platform
