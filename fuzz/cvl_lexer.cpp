// Fuzzes the macro lexer with any bytes: the whole input as one line (NUL,
// CR, LF and bytes above 127 included, no line end), then split into lines
// as an editor does. Tokens must cover each line in order without gaps, each
// at least one byte long, and end with EndOfLine.
#include "cvl/cvl_lexer.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "cvl/token_dump.h"

namespace {

void CheckLine(varnok::cvl::CvlLexer& lexer, std::string_view line) {
  std::size_t expected = 0, tokens = 0;
  for (lexer.setLine(line, 1); !lexer.atEndOfLine(); lexer.next()) {
    if (lexer.tokenStart() != expected || lexer.tokenLength() == 0) std::abort();
    if (lexer.tokenText().data() != line.data() + expected) std::abort();
    if (lexer.tokenAttribute() == varnok::cvl::Attribute::None) std::abort();
    expected += lexer.tokenLength();
    if (expected > line.size() || ++tokens > line.size()) std::abort();
  }
  if (expected != line.size() || lexer.tokenLength() != 0) std::abort();
  if (lexer.range() < varnok::cvl::kRangeInitial || lexer.range() > varnok::cvl::kRangeDoubleQuoted)
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  varnok::cvl::CvlLexer lexer;
  CheckLine(lexer, text);
  for (std::string_view line : varnok::cvl::SplitEditorLines(text)) {
    if (line.find_first_of("\r\n") != std::string_view::npos) std::abort();
    CheckLine(lexer, line);
  }
  return 0;
}
