#pragma once
// The emulator names a serial line by its COM port number ("/C=<n>").
#include <string>
#include <string_view>

namespace varnok {

// "COM3" (any letter case) gives "3"; "/dev/ttyS0" gives "1" (the first
// serial port is COM1); any other line gives "".
std::string SerialPortNumber(std::string_view line);

}  // namespace varnok
