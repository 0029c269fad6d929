#include "cvl/cvl_lexer.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace varnok::cvl {
namespace {

struct Token {
  std::string text;
  TokenKind kind;
  bool operator==(const Token&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Token& t) {
  return out << TokenKindName(t.kind) << "[" << t.text << "]";
}

std::vector<Token> Lex(std::string_view line) {
  std::vector<Token> tokens;
  CvlLexer lexer;
  for (lexer.setLine(line); !lexer.atEndOfLine(); lexer.next())
    tokens.push_back({std::string(lexer.tokenText()), lexer.kind()});
  return tokens;
}

using K = TokenKind;

TEST(CvlLexer, EmptyLineIsOnlyEndOfLine) {
  CvlLexer lexer;
  lexer.setLine("", 7);
  EXPECT_TRUE(lexer.atEndOfLine());
  EXPECT_EQ(lexer.tokenStart(), 0u);
  EXPECT_EQ(lexer.tokenLength(), 0u);
  EXPECT_EQ(lexer.tokenAttribute(), Attribute::None);
  EXPECT_EQ(lexer.lineNumber(), 7);
  lexer.next();
  EXPECT_TRUE(lexer.atEndOfLine());
}

TEST(CvlLexer, Comments) {
  EXPECT_EQ(Lex(";"), (std::vector<Token>{{";", K::Comment}}));
  EXPECT_EQ(Lex("; word} more"),
            (std::vector<Token>{{"; word}", K::Comment}, {" ", K::Other}, {"more", K::Identifier}}));
  // The brace is searched from the character after the ";" only.
  EXPECT_EQ(
      Lex("x ;}y"),
      (std::vector<Token>{{"x", K::Identifier}, {" ", K::Other}, {";}", K::Comment}, {"y", K::Identifier}}));
  EXPECT_EQ(Lex("; no brace 'x' :y"), (std::vector<Token>{{"; no brace 'x' :y", K::Comment}}));
}

TEST(CvlLexer, Labels) {
  EXPECT_EQ(Lex(":loop wait 'x'"), (std::vector<Token>{{":loop wait 'x'", K::Label}}));
  EXPECT_EQ(
      Lex(":a+ send x"),
      (std::vector<Token>{
          {":a+", K::Label}, {" ", K::Other}, {"send", K::Key}, {" ", K::Other}, {"x", K::Identifier}}));
  EXPECT_EQ(Lex("goto :"), (std::vector<Token>{{"goto", K::Key}, {" ", K::Other}, {":", K::Label}}));
}

TEST(CvlLexer, Strings) {
  EXPECT_EQ(Lex("'a \"b\" ;c' x"),
            (std::vector<Token>{{"'a \"b\" ;c'", K::String}, {" ", K::Other}, {"x", K::Identifier}}));
  EXPECT_EQ(Lex("\"it's\"'"), (std::vector<Token>{{"\"it's\"", K::String}, {"'", K::String}}));
  EXPECT_EQ(Lex("''"), (std::vector<Token>{{"''", K::String}}));
  // Unclosed: to the end of the line; the next line starts afresh.
  EXPECT_EQ(Lex("sendln 'abc"),
            (std::vector<Token>{{"sendln", K::Key}, {" ", K::Other}, {"'abc", K::String}}));
  EXPECT_EQ(Lex("abc'"), (std::vector<Token>{{"abc", K::Identifier}, {"'", K::String}}));
}

TEST(CvlLexer, WordsDigitsAndCase) {
  EXPECT_EQ(Lex("param2 param3 param4 param"), (std::vector<Token>{{"param2", K::SysVar},
                                                                   {" ", K::Other},
                                                                   {"param3", K::SysVar},
                                                                   {" ", K::Other},
                                                                   {"param4", K::Identifier},
                                                                   {" ", K::Other},
                                                                   {"param", K::Identifier}}));
  EXPECT_EQ(
      Lex("send1 SEND Send"),
      (std::vector<Token>{
          {"send1", K::Identifier}, {" ", K::Other}, {"SEND", K::Key}, {" ", K::Other}, {"Send", K::Key}}));
  EXPECT_EQ(
      Lex("a1 1a"),
      (std::vector<Token>{{"a1", K::Identifier}, {" ", K::Other}, {"1", K::Other}, {"a", K::Identifier}}));
  EXPECT_EQ(Lex("_x_1=inputstr"),
            (std::vector<Token>{{"_x_1", K::Identifier}, {"=", K::Other}, {"inputstr", K::SysVar}}));
  EXPECT_EQ(Lex("filestrseek2 filestrseek filestrseek3"),
            (std::vector<Token>{{"filestrseek2", K::Key},
                                {" ", K::Other},
                                {"filestrseek", K::Key},
                                {" ", K::Other},
                                {"filestrseek3", K::Identifier}}));
  EXPECT_EQ(Lex("lalc"), (std::vector<Token>{{"lalc", K::Identifier}}));  // slot 28, not listed
  EXPECT_EQ(KeywordHash("lalc"), 28u);
}

TEST(CvlLexer, OtherCharactersAreSingleTokensDrawnAsIdentifiers) {
  CvlLexer lexer;
  lexer.setLine("wait x");
  lexer.next();
  EXPECT_EQ(lexer.kind(), K::Other);
  EXPECT_EQ(lexer.tokenStart(), 4u);
  EXPECT_EQ(lexer.tokenLength(), 1u);
  EXPECT_EQ(lexer.tokenAttribute(), Attribute::Identifier);
  EXPECT_EQ(Lex("\t\xe4\xff"),
            (std::vector<Token>{{"\t", K::Other}, {"\xe4", K::Other}, {"\xff", K::Other}}));
}

TEST(CvlLexer, LineEndsInsideTheTextAndNulBytes) {
  using namespace std::string_literals;
  EXPECT_EQ(Lex("a\r\nb\rc\nd"), (std::vector<Token>{{"a", K::Identifier},
                                                     {"\r\n", K::Other},
                                                     {"b", K::Identifier},
                                                     {"\r", K::Other},
                                                     {"c", K::Identifier},
                                                     {"\n", K::Other},
                                                     {"d", K::Identifier}}));
  EXPECT_EQ(Lex("\n\r"), (std::vector<Token>{{"\n", K::Other}, {"\r", K::Other}}));
  // Strings, labels and comments stop before a line end.
  EXPECT_EQ(Lex("'ab\r\n'"), (std::vector<Token>{{"'ab", K::String}, {"\r\n", K::Other}, {"'", K::String}}));
  EXPECT_EQ(Lex(";c\n}"), (std::vector<Token>{{";c", K::Comment}, {"\n", K::Other}, {"}", K::Other}}));
  // A NUL byte inside the line is an ordinary character; the line goes on.
  EXPECT_EQ(Lex("a\0b"s),
            (std::vector<Token>{{"a", K::Identifier}, {"\0"s, K::Other}, {"b", K::Identifier}}));
  EXPECT_EQ(Lex("'a\0b'"s), (std::vector<Token>{{"'a\0b'"s, K::String}}));
}

TEST(CvlLexer, RangeIsSetWhileOpenAndNeverCarriedOver) {
  CvlLexer lexer;
  lexer.setLine("'open");
  EXPECT_EQ(lexer.range(), kRangeSingleQuoted);
  lexer.setLine("\"open");
  EXPECT_EQ(lexer.range(), kRangeDoubleQuoted);
  lexer.setLine(":open");
  EXPECT_EQ(lexer.range(), kRangeLabel);
  lexer.setLine(";open");
  EXPECT_EQ(lexer.range(), kRangeComment);
  lexer.setLine("'closed'");
  EXPECT_EQ(lexer.range(), kRangeInitial);
  // A stored range does not change how the next line is read.
  lexer.setRange(kRangeSingleQuoted);
  lexer.setLine("abc' x");
  EXPECT_EQ(lexer.kind(), K::Identifier);
  EXPECT_EQ(lexer.range(), kRangeInitial);
  lexer.setRange(kRangeComment);
  lexer.resetRange();
  EXPECT_EQ(lexer.range(), kRangeInitial);
}

TEST(CvlKeywords, SlotFacts) {
  auto words = [](std::size_t slot) {
    std::vector<std::string> w;
    for (const auto& k : KeywordSlot(slot)) w.emplace_back(k.word);
    return w;
  };
  EXPECT_EQ(words(28), (std::vector<std::string>{"beep", "call"}));
  EXPECT_EQ(words(49), (std::vector<std::string>{"param2", "param3"}));
  EXPECT_EQ(words(74), (std::vector<std::string>{"setdate", "connect", "recvln", "sendfile"}));
  EXPECT_EQ(words(181), (std::vector<std::string>{"restoresetup"}));
  EXPECT_TRUE(KeywordSlot(182).empty());
  std::size_t total = 0, largest = 0;
  for (std::size_t s = 0; s < kKeywordSlots; ++s) {
    total += KeywordSlot(s).size();
    EXPECT_LE(KeywordSlot(s).size(), 4u);
    for (const auto& k : KeywordSlot(s)) {
      EXPECT_EQ(KeywordHash(k.word), s) << k.word;
      largest = std::max(largest, s);
    }
  }
  EXPECT_EQ(total, 114u);
  EXPECT_EQ(largest, 181u);
  EXPECT_EQ(KeywordHash("_"), 31u);
  EXPECT_EQ(KeywordHash("Az9_"), 1u + 26u + 31u);
}

TEST(CvlKeywords, EveryListedWordIsFoundInAnyLetterCase) {
  int keys = 0, sysvars = 0;
  std::mt19937 rng(5);
  for (const auto& k : ListedKeywords()) {
    (k.kind == K::Key ? keys : sysvars)++;
    std::string lower(k.word), upper(k.word), mixed(k.word);
    for (auto& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (auto& c : mixed)
      if (rng() % 2) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (const std::string& w : {lower, upper, mixed}) {
      EXPECT_EQ(ClassifyWord(w), k.kind) << w;
      EXPECT_EQ(Lex(w), (std::vector<Token>{{w, k.kind}})) << w;
      EXPECT_EQ(ClassifyWord(w + "_"), K::Identifier) << w;
      EXPECT_EQ(ClassifyWord("q" + w), K::Identifier) << w;
    }
  }
  EXPECT_EQ(keys, 109);
  EXPECT_EQ(sysvars, 5);
  for (const char* w : {"connect", "CONNECT", "Connect", "inputStr", "restoreSETUP"})
    EXPECT_NE(ClassifyWord(w), K::Identifier) << w;
}

TEST(CvlLexer, TokensCoverAnyLineWithoutGaps) {
  std::mt19937 rng(99);
  const std::string alphabet = std::string("aZ_09 '\";:+}\r\n\t\x80\xff") + std::string(1, '\0');
  CvlLexer lexer;
  for (int round = 0; round < 3000; ++round) {
    std::string line;
    std::size_t length = rng() % 40;
    for (std::size_t i = 0; i < length; ++i) line += alphabet[rng() % alphabet.size()];
    std::size_t expected_start = 0, tokens = 0;
    for (lexer.setLine(line); !lexer.atEndOfLine(); lexer.next()) {
      ASSERT_EQ(lexer.tokenStart(), expected_start);
      ASSERT_GE(lexer.tokenLength(), 1u);
      ASSERT_NE(lexer.tokenAttribute(), Attribute::None);
      expected_start += lexer.tokenLength();
      ASSERT_LE(++tokens, line.size());
    }
    ASSERT_EQ(expected_start, line.size());
    ASSERT_EQ(lexer.tokenStart(), line.size());
  }
}

// Strings, labels and comments end at their closing character or before a
// line end, whichever comes first, also when it lies far in (the search reads
// several bytes at a time) and beside bytes one bit away from those searched.
TEST(CvlLexer, RangedTokensEndAtTheFirstClosingOrLineEnd) {
  struct Opener {
    char open, close;
    int range;
  };
  const Opener openers[] = {{';', '}', kRangeComment},
                            {':', '+', kRangeLabel},
                            {'\'', '\'', kRangeSingleQuoted},
                            {'"', '"', kRangeDoubleQuoted}};
  std::mt19937 rng(7);
  CvlLexer lexer;
  for (const Opener& o : openers) {
    const std::string noise = std::string("ab \x0b\x0c\x80\xff") + std::string(1, '\0') +
                              static_cast<char>(o.close ^ 1) + static_cast<char>(o.close ^ 0x80);
    const std::string stops = {o.close, '\r', '\n'};
    for (int round = 0; round < 4000; ++round) {
      std::string line(1, o.open);
      const std::size_t body = rng() % 70;
      for (std::size_t i = 0; i < body; ++i) line += noise[rng() % noise.size()];
      if (rng() % 4 != 0) line.insert(1 + rng() % (body + 1), 1, stops[rng() % stops.size()]);
      const std::size_t stop = std::string_view(line).find_first_of(stops, 1);
      const bool closed = stop != std::string_view::npos && line[stop] == o.close;
      lexer.setLine(line);
      ASSERT_EQ(lexer.tokenLength(), closed ? stop + 1 : std::min(stop, line.size())) << round;
      ASSERT_EQ(lexer.range(), closed ? kRangeInitial : o.range) << round;
    }
  }
}

TEST(CvlStyle, AttributesAndRoles) {
  const auto& styles = DefaultAttributeStyles();
  EXPECT_EQ(DefaultStyle(Attribute::Comment).foreground, (Rgb{0, 128, 0}));
  EXPECT_TRUE(DefaultStyle(Attribute::Comment).italic);
  EXPECT_EQ(DefaultStyle(Attribute::Identifier).foreground, (Rgb{0, 128, 128}));
  EXPECT_EQ(DefaultStyle(Attribute::Key).foreground, (Rgb{0, 0, 128}));
  EXPECT_TRUE(DefaultStyle(Attribute::Key).bold);
  EXPECT_EQ(DefaultStyle(Attribute::Label).foreground, (Rgb{0, 0, 255}));
  EXPECT_EQ(DefaultStyle(Attribute::String).foreground, (Rgb{128, 0, 128}));
  EXPECT_EQ(DefaultStyle(Attribute::SysVars).foreground, (Rgb{128, 128, 0}));
  EXPECT_EQ(DefaultStyle(Attribute::SysVars).name, "SysVarsAttri");
  int bold = 0, italic = 0;
  for (const auto& s : styles) {
    EXPECT_EQ(&DefaultStyle(s.attribute), &s);
    bold += s.bold;
    italic += s.italic;
  }
  EXPECT_EQ(bold, 1);
  EXPECT_EQ(italic, 1);

  EXPECT_EQ(AttributeOf(K::Other), Attribute::Identifier);
  EXPECT_EQ(AttributeOf(K::SysVar), Attribute::SysVars);
  EXPECT_EQ(AttributeOf(K::EndOfLine), Attribute::None);
  EXPECT_EQ(DefaultAttribute(HighlighterRole::Keyword), Attribute::Key);
  EXPECT_EQ(DefaultAttribute(HighlighterRole::Whitespace), Attribute::None);
  EXPECT_EQ(DefaultAttribute(HighlighterRole::Symbol), Attribute::None);

  for (unsigned c = 0; c < 256; ++c)
    EXPECT_EQ(IsWordStart(static_cast<char>(c)),
              kEditorWordChars.find(static_cast<char>(c)) != std::string_view::npos);
}

TEST(CvlStyle, SampleSourceHasNineLines) {
  std::string_view sample = SampleSource();
  std::vector<std::string> lines;
  std::size_t start = 0, end;
  while ((end = sample.find("\r\n", start)) != std::string_view::npos) {
    lines.emplace_back(sample.substr(start, end - start));
    start = end + 2;
  }
  lines.emplace_back(sample.substr(start));
  ASSERT_EQ(lines.size(), 9u);
  EXPECT_EQ(lines[0], "; Sample source for the demo highlighter ");
  EXPECT_EQ(lines[5],
            "It will also highlight \"Strings in double quotas\", 'Strings in single quotas', Labels");
  EXPECT_EQ(lines[6], " and Corvane Macro language System Variables like inputstr.");
  EXPECT_TRUE(lines[1].empty() && lines[4].empty() && lines[7].empty());
}

}  // namespace
}  // namespace varnok::cvl
