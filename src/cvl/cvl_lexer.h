#pragma once
// Line-by-line lexer of the CVL macro language, for highlighting the Macro
// editor. It classifies one line at a time; nothing carries over from one line
// to the next, so an editor may re-lex any single line on its own.
//
// Use from an editor's styling hook (e.g. a QsciLexerCustom::styleText that
// walks the lines of the range it is given):
//
//   CvlLexer lexer;
//   lexer.setLine(line_bytes_without_line_end, line_number);
//   for (; !lexer.atEndOfLine(); lexer.next())
//     setStyling(lexer.tokenLength(), style_for[lexer.tokenAttribute()]);
//   setStyling(line_end_bytes, style_for[Attribute::Identifier]);
//
// Tokens cover the line without gaps, each at least one byte long, in order;
// the last token is EndOfLine (length 0). The lexer works on the caller's
// bytes in place: the line must stay alive and unchanged until the next
// SetLine. Nothing is allocated.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "cvl/cvl_style.h"

namespace varnok::cvl {

enum class TokenKind : std::uint8_t { Comment, Identifier, Key, Label, EndOfLine, String, SysVar, Other };

// "Comment", "Identifier", "Key", "Label", "EndOfLine", "String", "SysVar", "Other".
std::string_view TokenKindName(TokenKind kind);

namespace detail {
// Indexed by TokenKind. At namespace scope, so that a lookup reads the one
// table instead of building a local copy for every token.
inline constexpr std::array<Attribute, 8> kAttributeByKind = {
    Attribute::Comment, Attribute::Identifier, Attribute::Key,     Attribute::Label,
    Attribute::None,    Attribute::String,     Attribute::SysVars, Attribute::Identifier};
}  // namespace detail

// The attribute a token of this kind is drawn with (Other shares Identifier's).
constexpr Attribute AttributeOf(TokenKind kind) {
  return detail::kAttributeByKind[static_cast<std::size_t>(kind)];
}

// Range values: set while a label, comment or string is being read, cleared
// when its closing character is found. They never influence the next token.
enum LexRange : int {
  kRangeInitial = 0,
  kRangeLabel = 1,
  kRangeComment = 2,
  kRangeSingleQuoted = 3,
  kRangeDoubleQuoted = 4,
};

namespace detail {
// The rule for the first character of a token: one 256-entry table.
enum class Rule : std::uint8_t {
  Other,
  LineFeed,
  CarriageReturn,
  DoubleQuote,
  SingleQuote,
  Colon,
  Semicolon,
  Word
};
extern const std::array<Rule, 256> kDispatch;
// Letters, digits and "_": the characters that continue a word.
extern const std::array<bool, 256> kContinuesWord;

// A token of more than one byte, or one that needs a look at the next byte.
struct ScannedToken {
  std::size_t end;
  TokenKind kind;
  std::uint8_t range;
};
// Reads the token at `pos` (< `length`) of `line`. It takes the line by value,
// not the lexer: a lexer whose members are all inline and whose address is
// never taken is kept in registers by the compiler, which is what makes the
// one-byte case cheap.
ScannedToken ReadToken(const char* line, std::size_t length, std::size_t pos);
}  // namespace detail

class CvlLexer {
 public:
  // Starts a line (its text without the line end) and reads its first token.
  void setLine(std::string_view line, int line_number = 0) {
    line_ = line.data();
    length_ = line.size();
    line_number_ = line_number;
    pos_ = 0;
    next();
  }
  // Reads the following token; after EndOfLine it stays at EndOfLine.
  // The one-byte case is inline: it is the most frequent token (blanks).
  void next() {
    start_ = pos_;
    range_ = kRangeInitial;
    if (pos_ >= length_) {
      kind_ = TokenKind::EndOfLine;
    } else if (detail::kDispatch[static_cast<unsigned char>(line_[pos_])] == detail::Rule::Other) {
      // The 8-bit code pages in use have no double-byte lead bytes: every
      // such byte, also above 127, is one token.
      kind_ = TokenKind::Other;
      ++pos_;
    } else if (detail::kDispatch[static_cast<unsigned char>(line_[pos_])] == detail::Rule::Word &&
               (pos_ + 1 == length_ ||
                !detail::kContinuesWord[static_cast<unsigned char>(line_[pos_ + 1])])) {
      // A word of one letter: no keyword is that short.
      kind_ = TokenKind::Identifier;
      ++pos_;
    } else {
      const detail::ScannedToken token = detail::ReadToken(line_, length_, pos_);
      pos_ = token.end;
      kind_ = token.kind;
      range_ = token.range;
    }
  }

  bool atEndOfLine() const { return kind_ == TokenKind::EndOfLine; }
  TokenKind kind() const { return kind_; }
  std::size_t tokenStart() const { return start_; }
  std::size_t tokenLength() const { return pos_ - start_; }
  std::string_view tokenText() const { return {line_ + start_, pos_ - start_}; }
  Attribute tokenAttribute() const { return AttributeOf(kind_); }
  int lineNumber() const { return line_number_; }

  // The per-line range value an editor may keep; reset before every token.
  int range() const { return range_; }
  void setRange(int range) { range_ = range; }
  void resetRange() { range_ = kRangeInitial; }

 private:
  const char* line_ = "";
  std::size_t length_ = 0;
  std::size_t start_ = 0;
  std::size_t pos_ = 0;
  int line_number_ = 0;
  int range_ = kRangeInitial;
  TokenKind kind_ = TokenKind::EndOfLine;
};

// Words: "A".."Z", "a".."z" and "_" start one; letters, digits and "_"
// continue it. The editor's word characters (word selection, word-wise caret
// movement) are the word-start characters.
bool IsWordStart(char ch);
bool IsWordChar(char ch);
inline constexpr std::string_view kEditorWordChars = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz_";

// The keyword table: 182 slots, the slot of a word being the sum of its
// letter values (a/A = 1 .. z/Z = 26, "_" = 31, anything else 0).
struct Keyword {
  std::string_view word;  // lower case
  TokenKind kind;         // Key or SysVar
};
inline constexpr int kKeywordSlots = 182;

std::size_t KeywordHash(std::string_view word);
// The words of slot `hash` in their comparison order; empty outside 0..181.
std::span<const Keyword> KeywordSlot(std::size_t hash);
// Every listed word (109 Key, 5 SysVar).
std::span<const Keyword> ListedKeywords();
// Key, SysVar or Identifier for a whole word, ignoring letter case.
TokenKind ClassifyWord(std::string_view word);

}  // namespace varnok::cvl
