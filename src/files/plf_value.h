#pragma once
// Values of the .PLF format's "key=value" lines beyond what the INI reader
// does by itself (it trims blanks and tabs around the value).
//
// Integers read as a profile reader reads them: the whole (trimmed) value is
// an optional sign and decimal digits, or "0x"/"0X" and hexadecimal digits
// (up to eight, taken as a 32-bit pattern: "0xFFFFFFFF" is -1); anything
// else, or a decimal beyond the 32-bit range, is no number.
//
// Texts that the trimming would change are written in double quotes, and one
// pair of enclosing double quotes is removed on reading (as the system's own
// profile reader does), so that every value without a line break comes back
// exactly as it was written.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace varnok {

std::optional<std::int32_t> ParseProfileInteger(std::string_view value);

// The value as written: quoted when it begins or ends with a blank or a tab,
// or when it is itself enclosed in double quotes; otherwise unchanged.
std::string QuotePlfValue(std::string_view value);
// The value as read: without one pair of enclosing double quotes.
std::string_view UnquotePlfValue(std::string_view value);

}  // namespace varnok
