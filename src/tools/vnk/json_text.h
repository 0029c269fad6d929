#pragma once
// JSON strings of any length written in pieces: a text of hundreds of
// megabytes is never decoded, converted or escaped as a whole.
#include <ostream>
#include <string_view>

namespace varnok::vnk {

// Writes `bytes` as a JSON string (quotes included): 8-bit bytes as
// ToUtf8Lenient converts them, escaped by nlohmann-json. `stored`: the bytes
// are in the stored form of macros and popups and are decoded first.
void WriteJsonString(std::ostream& out, std::string_view bytes, bool stored = false);

}  // namespace varnok::vnk
