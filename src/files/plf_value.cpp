#include "files/plf_value.h"

#include <charconv>

namespace varnok {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool Enclosed(std::string_view v) { return v.size() >= 2 && v.front() == '"' && v.back() == '"'; }

}  // namespace

std::optional<std::int32_t> ParseProfileInteger(std::string_view value) {
  bool negative = false;
  if (!value.empty() && (value.front() == '+' || value.front() == '-')) {
    negative = value.front() == '-';
    value.remove_prefix(1);
  }
  if (value.empty()) return std::nullopt;
  const bool hex = value.size() > 2 && value[0] == '0' && (value[1] == 'x' || value[1] == 'X');
  if (hex) value.remove_prefix(2);
  // from_chars would take a sign of its own; only digits may follow here.
  if (value.front() == '+' || value.front() == '-') return std::nullopt;
  std::uint64_t magnitude = 0;
  const char* end = value.data() + value.size();
  auto [ptr, ec] = std::from_chars(value.data(), end, magnitude, hex ? 16 : 10);
  if (ec != std::errc() || ptr != end) return std::nullopt;
  std::int64_t result = 0;
  if (hex) {
    if (magnitude > 0xFFFFFFFFu) return std::nullopt;
    result = static_cast<std::int32_t>(static_cast<std::uint32_t>(magnitude));
  } else {
    if (magnitude > 0x80000000u) return std::nullopt;
    result = static_cast<std::int64_t>(magnitude);
  }
  if (negative) result = -result;
  if (result < INT32_MIN || result > INT32_MAX) return std::nullopt;
  return static_cast<std::int32_t>(result);
}

std::string QuotePlfValue(std::string_view value) {
  const bool quote = !value.empty() && (IsBlank(value.front()) || IsBlank(value.back()) || Enclosed(value));
  if (!quote) return std::string(value);
  std::string out;
  out.reserve(value.size() + 2);
  out += '"';
  out += value;
  out += '"';
  return out;
}

std::string_view UnquotePlfValue(std::string_view value) {
  return Enclosed(value) ? value.substr(1, value.size() - 2) : value;
}

}  // namespace varnok
