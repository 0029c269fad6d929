#pragma once
#include <string>

namespace varnok::platform {

std::string LogonName();
std::string ComputerName();

struct LockKeys {
  bool num = false;
  bool caps = false;
  bool scroll = false;
};
// The Num, Caps and Scroll Lock states where the display tells them, else all off.
LockKeys LockKeyState();

}  // namespace varnok::platform
