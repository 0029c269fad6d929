#pragma once
// Trimming as the program's texts use it: blanks and control characters
// (every byte up to and including the blank, 0x00..0x20) are removed from both
// ends; bytes 128..255 are kept.
#include <string>
#include <string_view>

namespace varnok {

std::string_view TrimTextView(std::string_view text);
inline std::string TrimText(std::string_view text) { return std::string(TrimTextView(text)); }

}  // namespace varnok
