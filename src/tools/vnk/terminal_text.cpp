#include "terminal_text.h"

#include <cstdint>

namespace varnok::vnk {
namespace {

// The length of the well-formed UTF-8 sequence at `at` and its code point;
// 0 when the bytes there are no such sequence.
std::size_t Utf8Sequence(std::string_view text, std::size_t at, std::uint32_t& codePoint) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
  const unsigned char lead = byte(0);
  std::size_t length = 0;
  std::uint32_t min = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, min = 0x80, codePoint = lead & 0x1Fu;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, min = 0x800, codePoint = lead & 0x0Fu;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, min = 0x10000, codePoint = lead & 0x07u;
  } else {
    return 0;
  }
  if (text.size() - at < length) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0u) != 0x80u) return 0;
    codePoint = (codePoint << 6) | (byte(i) & 0x3Fu);
  }
  if (codePoint < min || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) return 0;
  return length;
}

void AppendEscaped(std::string& out, unsigned char b) {
  static const char kHex[] = "0123456789abcdef";
  out += "\\x";
  out += kHex[b >> 4];
  out += kHex[b & 0xF];
}

}  // namespace

std::string EscapeControls(std::string_view name) {
  std::string out;
  out.reserve(name.size());
  for (std::size_t i = 0; i < name.size();) {
    const auto b = static_cast<unsigned char>(name[i]);
    if (b < 0x20 || b == 0x7F || (b >= 0x80 && b <= 0x9F)) {
      AppendEscaped(out, b);  // a C0 control, DEL, or a lone C1 byte
      ++i;
      continue;
    }
    std::uint32_t codePoint = 0;
    const std::size_t length = b < 0x80 ? 0 : Utf8Sequence(name, i, codePoint);
    if (length == 0) {
      out += name[i++];  // ASCII, or a byte of an 8-bit encoding
      continue;
    }
    for (std::size_t k = 0; k < length; ++k) {
      if (codePoint <= 0x9F)  // U+0080..U+009F: a C1 control in UTF-8
        AppendEscaped(out, static_cast<unsigned char>(name[i + k]));
      else
        out += name[i + k];
    }
    i += length;
  }
  return out;
}

}  // namespace varnok::vnk
