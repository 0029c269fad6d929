#pragma once
// UTF-16 text (a Windows registry export, a spreadsheet's "Unicode text")
// as UTF-8 bytes. Unpaired surrogates become U+FFFD; an odd last byte is
// dropped.
#include <string>
#include <string_view>

namespace varnok {

std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian);

}  // namespace varnok
