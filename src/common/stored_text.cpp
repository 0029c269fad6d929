#include "common/stored_text.h"

namespace varnok {
namespace {

bool KeptAsIs(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// The value of a two-character pair; "4H" reads as "4"; anything else that is
// not hexadecimal gives 0.
unsigned char PairValue(char high, char low) {
  if (low == 'H') {
    int v = HexDigit(high);
    return v < 0 ? 0 : static_cast<unsigned char>(v);
  }
  int h = HexDigit(high), l = HexDigit(low);
  if (h < 0 || l < 0) return 0;
  return static_cast<unsigned char>(h * 16 + l);
}

}  // namespace

std::string EncodeText(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size() + text.size() / 2);
  for (char ch : text) {
    auto c = static_cast<unsigned char>(ch);
    if (KeptAsIs(c)) {
      out.push_back(ch);
    } else if (c == ' ') {
      out.push_back('+');
    } else {
      out.push_back('%');
      out.push_back(kHex[c >> 4]);
      out.push_back(kHex[c & 15]);
    }
  }
  return out;
}

std::string DecodeText(std::string_view stored) {
  std::string out;
  out.reserve(stored.size());
  for (std::size_t i = 0; i < stored.size(); ++i) {
    char c = stored[i];
    if (c == '+') {
      out.push_back(' ');
    } else if (c == '%') {
      if (stored.size() - i < 3) {
        out.append(stored.substr(i));  // a cut-off pair stays as written
        break;
      }
      out.push_back(static_cast<char>(PairValue(stored[i + 1], stored[i + 2])));
      i += 2;
    } else {
      out.push_back(c);
    }
  }
  return out;
}

}  // namespace varnok
