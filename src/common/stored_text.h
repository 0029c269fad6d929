#pragma once
// Stored form of macro and popup texts, as kept in a connection record and in
// .VNK files. Letters and digits are kept, a blank becomes "+", every other
// byte becomes "%" and two upper-case hexadecimal digits ("a b;c" is stored
// as "a+b%3Bc", CR LF as "%0D%0A"). EncodeText does not trim: callers pass
// the trimmed page text (TrimText in common/trim_text.h).
#include <string>
#include <string_view>

namespace varnok {

std::string EncodeText(std::string_view text);

// Inverse of EncodeText for every byte 0..255. Also reads texts it never
// writes: "+" is a blank; "%" takes the next two characters as a hexadecimal
// value of either case (a trailing "H" on the pair is dropped first; any other
// character makes the value 0). A "%" with fewer than two characters after it
// is copied as it stands, together with what follows it; nothing is read past
// the end.
std::string DecodeText(std::string_view stored);

}  // namespace varnok
