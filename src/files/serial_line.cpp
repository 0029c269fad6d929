#include "files/serial_line.h"

#include <algorithm>
#include <cctype>

namespace varnok {
namespace {

bool AllDigits(std::string_view s) {
  return !s.empty() && s.size() <= 4 &&
         std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

std::string SerialPortNumber(std::string_view line) {
  if (line.size() > 3 && std::toupper(static_cast<unsigned char>(line[0])) == 'C' &&
      std::toupper(static_cast<unsigned char>(line[1])) == 'O' &&
      std::toupper(static_cast<unsigned char>(line[2])) == 'M' && AllDigits(line.substr(3)))
    return std::to_string(std::stoi(std::string(line.substr(3))));
  constexpr std::string_view kTty = "/dev/ttyS";
  if (line.starts_with(kTty) && AllDigits(line.substr(kTty.size())))
    return std::to_string(std::stoi(std::string(line.substr(kTty.size()))) + 1);
  return "";
}

}  // namespace varnok
