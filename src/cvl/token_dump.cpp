#include "cvl/token_dump.h"

#include "cvl/cvl_lexer.h"

namespace varnok::cvl {

std::vector<std::string_view> SplitEditorLines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    lines.push_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  lines.push_back(text.substr(start));
  return lines;
}

std::string DumpTokens(std::string_view text) {
  std::string out;
  CvlLexer lexer;
  int number = 0;
  for (std::string_view line : SplitEditorLines(text)) {
    ++number;
    for (lexer.setLine(line, number); !lexer.atEndOfLine(); lexer.next()) {
      out += std::to_string(number);
      out += ':';
      out += std::to_string(lexer.tokenStart());
      out += ':';
      out += std::to_string(lexer.tokenLength());
      out += ':';
      out += TokenKindName(lexer.kind());
      out += '\n';
    }
  }
  return out;
}

}  // namespace varnok::cvl
