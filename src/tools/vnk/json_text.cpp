#include "json_text.h"

#include <nlohmann/json.hpp>

#include "common/stored_text.h"
#include "common/utf8.h"

namespace varnok::vnk {
namespace {

constexpr std::size_t kPiece = std::size_t{1} << 16;

bool IsContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// A seam at or up to three bytes before `limit` (>= 3, < bytes.size()) that
// no UTF-8 sequence spans: before a byte that is no continuation byte, or
// else at `limit`, which then follows three continuation bytes, so no
// sequence's first byte lies close enough before it.
std::size_t Utf8Seam(std::string_view bytes, std::size_t limit) {
  for (std::size_t end = limit; end + 3 >= limit; --end)
    if (!IsContinuation(bytes[end])) return end;
  return limit;
}

std::size_t Utf8SafeEnd(std::string_view bytes) {
  return bytes.size() <= kPiece ? bytes.size() : Utf8Seam(bytes, kPiece);
}

void WriteEscaped(std::ostream& out, std::string_view bytes) {
  while (!bytes.empty() && out) {
    const std::size_t end = Utf8SafeEnd(bytes);
    const std::string quoted = nlohmann::json(ToUtf8Lenient(bytes.substr(0, end))).dump();
    out.write(quoted.data() + 1, static_cast<std::streamsize>(quoted.size() - 2));
    bytes.remove_prefix(end);
  }
}

// The end of a front of the stored text of about kPiece bytes that does not
// cut a "%" and its two characters apart.
std::size_t StoredSafeEnd(std::string_view stored) {
  if (stored.size() <= kPiece) return stored.size();
  std::size_t i = 0;
  while (i < kPiece) i += stored[i] == '%' ? 3 : 1;
  return std::min(i, stored.size());
}

}  // namespace

void WriteJsonString(std::ostream& out, std::string_view bytes, bool stored) {
  out << '"';
  if (!stored) {
    WriteEscaped(out, bytes);
  } else {
    // Decoded pieces may end inside a UTF-8 sequence: what is not yet safe
    // to convert waits for the next piece.
    std::string pending;
    while (!bytes.empty() && out) {
      const std::size_t end = StoredSafeEnd(bytes);
      pending += DecodeText(bytes.substr(0, end));
      bytes.remove_prefix(end);
      std::size_t safe = pending.size();
      if (!bytes.empty()) safe = pending.size() > 6 ? Utf8Seam(pending, pending.size() - 3) : 0;
      WriteEscaped(out, std::string_view(pending).substr(0, safe));
      pending.erase(0, safe);
    }
    WriteEscaped(out, pending);
  }
  out << '"';
}

}  // namespace varnok::vnk
