#pragma once
// Text helpers of macro assembly: the working list of lines, the "to cursor"
// cut, the "$CONNECTION$" variable and the file-name-safe log name.
#include <string>
#include <string_view>
#include <vector>

namespace varnok::run {

using MacroLines = std::vector<std::string>;

// Splits a text into lines at CR LF, LF or a lone CR; a line break after the
// last line does not start another line ("" gives no lines).
MacroLines SplitLines(std::string_view text);
// Every line followed by CR LF (no lines give "").
std::string JoinLines(const MacroLines& lines);

// The text from its start through the end of line `caretLine` (counted from
// 1) including that line's break: what "Run to cursor" takes with the caret on
// that line. The whole text when the caret is on the last line or beyond; ""
// for a line below 1.
std::string CutToCaretLine(std::string_view text, int caretLine);

// `text` with every "$CONNECTION$" (any letter case) replaced by the first
// word of `name` (up to its first blank). Inserted text is not searched again.
std::string ReplaceConnectionVariable(std::string_view name, std::string_view text);

// The log name in file-name-safe form: A-Z, a-z, 0-9, "-" and "_" copied, a
// blank as "_", every other byte as "%" and its value in decimal.
std::string EncodeLogName(std::string_view logName);

// ASCII-only helpers shared by the line rules.
std::string ToUpperAscii(std::string_view s);
std::string ToLowerAscii(std::string_view s);
// Position of `needle` in `haystack` ignoring ASCII letter case, or npos.
std::size_t FindNoCase(std::string_view haystack, std::string_view needle, std::size_t from = 0);
// `s` without leading and trailing blanks and control characters (bytes 0..32).
std::string_view TrimControl(std::string_view s);

}  // namespace varnok::run
