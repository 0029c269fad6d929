#include "common/utf8.h"

namespace varnok {
namespace {

// Length of the valid UTF-8 sequence at the start of `s`, 0 when there is none.
std::size_t ValidSequence(std::string_view s) {
  auto b = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
  auto cont = [&](std::size_t i) { return i < s.size() && (b(i) & 0xC0) == 0x80; };
  unsigned char c = b(0);
  if (c < 0x80) return 1;
  if (c >= 0xC2 && c <= 0xDF) return cont(1) ? 2 : 0;
  if (c >= 0xE0 && c <= 0xEF) {
    if (!cont(1) || !cont(2)) return 0;
    if (c == 0xE0 && b(1) < 0xA0) return 0;   // overlong
    if (c == 0xED && b(1) >= 0xA0) return 0;  // surrogates
    return 3;
  }
  if (c >= 0xF0 && c <= 0xF4) {
    if (!cont(1) || !cont(2) || !cont(3)) return 0;
    if (c == 0xF0 && b(1) < 0x90) return 0;
    if (c == 0xF4 && b(1) >= 0x90) return 0;
    return 4;
  }
  return 0;
}

}  // namespace

std::string ToUtf8Lenient(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  while (!bytes.empty()) {
    std::size_t n = ValidSequence(bytes);
    if (n) {
      out.append(bytes.substr(0, n));
      bytes.remove_prefix(n);
      continue;
    }
    auto c = static_cast<unsigned char>(bytes.front());
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    bytes.remove_prefix(1);
  }
  return out;
}

}  // namespace varnok
