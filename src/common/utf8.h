#pragma once
// Texts are 8-bit bytes in the core. Where they must become UTF-8 (JSON
// output, records), valid UTF-8 sequences stay as they are and every other
// byte becomes the code point of the same value.
#include <string>
#include <string_view>

namespace varnok {

std::string ToUtf8Lenient(std::string_view bytes);

}  // namespace varnok
