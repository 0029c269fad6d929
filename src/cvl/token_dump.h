#pragma once
// A text as an editor sees it, lexed line by line, written as one line per
// token: "line:start:length:Kind" (line from 1, start from 0), EndOfLine
// tokens left out. Used by `vnk lex` and by the lexer's golden-file tests.
#include <string>
#include <string_view>
#include <vector>

namespace varnok::cvl {

// Splits at CR LF, LF or CR; the line ends are not part of the lines. A text
// ending in a line break has an empty last line, as in an editor.
std::vector<std::string_view> SplitEditorLines(std::string_view text);

std::string DumpTokens(std::string_view text);

}  // namespace varnok::cvl
