#pragma once
// Names from a configuration file, printed where a terminal shows them.
#include <string>
#include <string_view>

namespace varnok::vnk {

// `name` with every control character shown as "\xHH" (lower-case hex), so
// that no escape sequence or line break in a name reaches the terminal: the
// C0 controls and DEL, and the C1 controls both as single bytes 0x80..0x9F
// (which 8-bit terminals obey) and as the UTF-8 form of U+0080..U+009F (each
// byte of it escaped). Other UTF-8 characters, and bytes of an 8-bit
// encoding from 0xA0 up, pass unchanged.
std::string EscapeControls(std::string_view name);

}  // namespace varnok::vnk
