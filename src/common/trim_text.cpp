#include "common/trim_text.h"

namespace varnok {
namespace {
bool Blank(char c) { return static_cast<unsigned char>(c) <= 0x20; }
}  // namespace

std::string_view TrimTextView(std::string_view text) {
  std::size_t b = 0, e = text.size();
  while (b < e && Blank(text[b])) ++b;
  while (e > b && Blank(text[e - 1])) --e;
  return text.substr(b, e - b);
}

}  // namespace varnok
