#include "cvl/cvl_lexer.h"

#include <array>
#include <bit>
#include <cstring>

namespace varnok::cvl {
namespace {

using K = TokenKind;

// The listed words in comparison order. Within a slot the order matters only
// for which entry is compared first; "setdate" leads slot 74, ahead of
// "connect", "recvln" and "sendfile".
constexpr Keyword kWords[] = {
    {"beep", K::Key},         {"bplusrecv", K::Key},    {"bplussend", K::Key},    {"call", K::Key},
    {"changedir", K::Key},    {"clearscreen", K::Key},  {"closecv", K::Key},      {"closesbox", K::Key},
    {"code2str", K::Key},     {"setdate", K::Key},      {"connect", K::Key},      {"delpassword", K::Key},
    {"disconnect", K::Key},   {"else", K::Key},         {"elseif", K::Key},       {"enablekeyb", K::Key},
    {"end", K::Key},          {"endif", K::Key},        {"endwhile", K::Key},     {"exec", K::Key},
    {"execcmnd", K::Key},     {"exit", K::Key},         {"fileclose", K::Key},    {"fileconcat", K::Key},
    {"filecopy", K::Key},     {"filecreate", K::Key},   {"filedelete", K::Key},   {"filemarkptr", K::Key},
    {"fileopen", K::Key},     {"filereadln", K::Key},   {"filerename", K::Key},   {"filesearch", K::Key},
    {"fileseek", K::Key},     {"fileseekback", K::Key}, {"filestrseek", K::Key},  {"filestrseek2", K::Key},
    {"filewrite", K::Key},    {"filewriteln", K::Key},  {"findclose", K::Key},    {"findfirst", K::Key},
    {"findnext", K::Key},     {"flushrecv", K::Key},    {"for", K::Key},          {"getdate", K::Key},
    {"getdir", K::Key},       {"getenv", K::Key},       {"getpassword", K::Key},  {"gettime", K::Key},
    {"gettitle", K::Key},     {"goto", K::Key},         {"if", K::Key},           {"include", K::Key},
    {"inputbox", K::Key},     {"int2str", K::Key},      {"kmtfinish", K::Key},    {"kmtget", K::Key},
    {"kmtrecv", K::Key},      {"kmtsend", K::Key},      {"loadkeymap", K::Key},   {"logclose", K::Key},
    {"logopen", K::Key},      {"logpause", K::Key},     {"logstart", K::Key},     {"logwrite", K::Key},
    {"makepath", K::Key},     {"messagebox", K::Key},   {"next", K::Key},         {"passwordbox", K::Key},
    {"pause", K::Key},        {"quickvanrecv", K::Key}, {"quickvansend", K::Key}, {"recvln", K::Key},
    {"restoresetup", K::Key}, {"return", K::Key},       {"send", K::Key},         {"sendbreak", K::Key},
    {"sendfile", K::Key},     {"sendkcode", K::Key},    {"sendln", K::Key},       {"setdir", K::Key},
    {"setdlgpos", K::Key},    {"setecho", K::Key},      {"setexitcode", K::Key},  {"setsync", K::Key},
    {"settime", K::Key},      {"settitle", K::Key},     {"show", K::Key},         {"showcv", K::Key},
    {"statusbox", K::Key},    {"str2code", K::Key},     {"str2int", K::Key},      {"strcompare", K::Key},
    {"strconcat", K::Key},    {"strcopy", K::Key},      {"strlen", K::Key},       {"strscan", K::Key},
    {"testlink", K::Key},     {"then", K::Key},         {"unlink", K::Key},       {"wait", K::Key},
    {"waitevent", K::Key},    {"waitln", K::Key},       {"waitrecv", K::Key},     {"while", K::Key},
    {"xmodemrecv", K::Key},   {"xmodemsend", K::Key},   {"yesnobox", K::Key},     {"zmodemrecv", K::Key},
    {"zmodemsend", K::Key},   {"inputstr", K::SysVar},  {"param2", K::SysVar},    {"param3", K::SysVar},
    {"result", K::SysVar},    {"timeout", K::SysVar},
};
constexpr std::size_t kWordCount = std::size(kWords);

// Character classes, built at compile time and shared by every lexer.
constexpr std::array<std::uint8_t, 256> MakeLetterValues() {
  std::array<std::uint8_t, 256> v{};
  for (int c = 'a'; c <= 'z'; ++c) {
    v[static_cast<std::size_t>(c)] = static_cast<std::uint8_t>(c - 'a' + 1);
    v[static_cast<std::size_t>(c - 'a' + 'A')] = static_cast<std::uint8_t>(c - 'a' + 1);
  }
  v['_'] = 31;
  return v;
}
constexpr auto kLetterValue = MakeLetterValues();

constexpr bool IsStart(unsigned c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }

constexpr std::array<bool, 256> MakeWordChars() {
  std::array<bool, 256> w{};
  for (unsigned c = 0; c < 256; ++c) w[c] = IsStart(c) || (c >= '0' && c <= '9');
  return w;
}
constexpr auto kWordChar = MakeWordChars();

// Both in one byte for the word loop: bit 7 = word character, bits 0..4 = the
// letter value.
constexpr std::uint8_t kWordCharBit = 0x80;
constexpr std::uint8_t kLetterValueMask = 0x1f;
constexpr std::array<std::uint8_t, 256> MakeWordInfo() {
  std::array<std::uint8_t, 256> w{};
  for (unsigned c = 0; c < 256; ++c)
    w[c] = static_cast<std::uint8_t>((kWordChar[c] ? kWordCharBit : 0) | kLetterValue[c]);
  return w;
}
constexpr auto kWordInfo = MakeWordInfo();

constexpr std::array<char, 256> MakeLower() {
  std::array<char, 256> l{};
  for (unsigned c = 0; c < 256; ++c) l[c] = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return l;
}
constexpr auto kLower = MakeLower();

constexpr std::size_t HashOf(std::string_view word) {
  std::size_t h = 0;
  for (char c : word) h += kLetterValue[static_cast<unsigned char>(c)];
  return h;
}

// Slot s holds kSlots.words[begin[s] .. begin[s + 1]), in listed order.
struct SlotTable {
  std::array<std::uint8_t, kKeywordSlots + 1> begin{};
  std::array<Keyword, kWordCount> words{};
};

constexpr SlotTable MakeSlots() {
  SlotTable t;
  std::array<std::uint8_t, kKeywordSlots + 1> count{};
  for (const Keyword& k : kWords) ++count[HashOf(k.word)];
  for (int s = 0; s < kKeywordSlots; ++s) t.begin[s + 1] = static_cast<std::uint8_t>(t.begin[s] + count[s]);
  std::array<std::uint8_t, kKeywordSlots> fill{};
  for (const Keyword& k : kWords) {
    std::size_t s = HashOf(k.word);
    t.words[t.begin[s] + fill[s]++] = k;
  }
  return t;
}
constexpr SlotTable kSlots = MakeSlots();

constexpr bool EveryWordFits() {
  for (const Keyword& k : kWords)
    if (HashOf(k.word) >= kKeywordSlots) return false;
  return true;
}
constexpr std::size_t LongestSlot() {
  std::size_t longest = 0;
  for (int s = 0; s < kKeywordSlots; ++s)
    longest = std::max<std::size_t>(longest, kSlots.begin[s + 1] - kSlots.begin[s]);
  return longest;
}
static_assert(kWordCount == 114);
static_assert(EveryWordFits());
static_assert(LongestSlot() <= 4, "a lookup compares at most four words");

constexpr bool NoOneLetterWord() {
  for (const Keyword& k : kWords)
    if (k.word.size() < 2) return false;
  return true;
}
static_assert(NoOneLetterWord(), "the lexer takes a one-letter word for an identifier without a lookup");

using detail::Rule;

constexpr std::array<Rule, 256> MakeDispatch() {
  std::array<Rule, 256> d{};
  for (unsigned c = 0; c < 256; ++c) d[c] = IsStart(c) ? Rule::Word : Rule::Other;
  d['\n'] = Rule::LineFeed;
  d['\r'] = Rule::CarriageReturn;
  d['"'] = Rule::DoubleQuote;
  d['\''] = Rule::SingleQuote;
  d[':'] = Rule::Colon;
  d[';'] = Rule::Semicolon;
  return d;
}

// Compares a word of the text with a listed (lower-case) word.
inline bool SameWord(const char* text, std::string_view listed) {
  for (std::size_t i = 0; i < listed.size(); ++i)
    if (kLower[static_cast<unsigned char>(text[i])] != listed[i]) return false;
  return true;
}

inline TokenKind Lookup(const char* word, std::size_t length, std::size_t hash) {
  if (hash >= kKeywordSlots) return TokenKind::Identifier;
  for (std::size_t i = kSlots.begin[hash]; i < kSlots.begin[hash + 1]; ++i) {
    const Keyword& k = kSlots.words[i];
    if (k.word.size() == length && SameWord(word, k.word)) return k.kind;
  }
  return TokenKind::Identifier;
}

}  // namespace

const std::array<Rule, 256> detail::kDispatch = MakeDispatch();
const std::array<bool, 256> detail::kContinuesWord = kWordChar;

std::string_view TokenKindName(TokenKind kind) {
  switch (kind) {
    case TokenKind::Comment:
      return "Comment";
    case TokenKind::Identifier:
      return "Identifier";
    case TokenKind::Key:
      return "Key";
    case TokenKind::Label:
      return "Label";
    case TokenKind::EndOfLine:
      return "EndOfLine";
    case TokenKind::String:
      return "String";
    case TokenKind::SysVar:
      return "SysVar";
    case TokenKind::Other:
      break;
  }
  return "Other";
}

namespace {

using detail::ScannedToken;

constexpr std::uint64_t kEveryByte = 0x0101010101010101ULL;
constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;

// The high bit of every byte of `v` that is zero. A borrow may also mark a
// byte above a zero one, never one below, so the lowest mark is exact.
constexpr std::uint64_t ZeroBytes(std::uint64_t v) { return (v - kEveryByte) & ~v & kHighBits; }

// The first of `closing`, CR or LF in [p, end), or `end`. Eight bytes at a
// time: strings and comments run long, and this is the lexer's inner loop.
const char* FindStop(const char* p, const char* end, char closing) {
  if constexpr (std::endian::native == std::endian::little) {
    const std::uint64_t closings = kEveryByte * static_cast<unsigned char>(closing);
    constexpr std::uint64_t kReturns = kEveryByte * '\r';
    constexpr std::uint64_t kFeeds = kEveryByte * '\n';
    while (end - p >= 8) {
      std::uint64_t v;
      std::memcpy(&v, p, sizeof v);
      const std::uint64_t hits = ZeroBytes(v ^ closings) | ZeroBytes(v ^ kReturns) | ZeroBytes(v ^ kFeeds);
      if (hits) return p + std::countr_zero(hits) / 8;
      p += 8;
    }
  }
  while (p < end && *p != closing && *p != '\r' && *p != '\n') ++p;
  return p;
}

// From the character after the opening one up to and including `closing`, or
// up to a line end (CR, LF or the end of the text), which is not included.
ScannedToken ScanTo(const char* line, std::size_t length, std::size_t pos, char closing, TokenKind kind,
                    LexRange range) {
  const char* stop = FindStop(line + pos + 1, line + length, closing);
  const auto at = static_cast<std::size_t>(stop - line);
  if (at < length && *stop == closing) return {at + 1, kind, kRangeInitial};
  return {at, kind, static_cast<std::uint8_t>(range)};
}

ScannedToken ScanWord(const char* line, std::size_t length, std::size_t pos) {
  std::size_t i = pos;
  std::size_t hash = 0;
  while (i < length) {
    std::uint8_t info = kWordInfo[static_cast<unsigned char>(line[i])];
    if (info == 0) break;
    hash += info & kLetterValueMask;
    ++i;
  }
  return {i, Lookup(line + pos, i - pos, hash), kRangeInitial};
}

}  // namespace

// The end of the line is the end of the given text. A NUL inside it is an
// ordinary character, so tokens always cover the whole line. next() has dealt
// with the end of the line and with one-byte tokens.
ScannedToken detail::ReadToken(const char* line, std::size_t length, std::size_t pos) {
  switch (kDispatch[static_cast<unsigned char>(line[pos])]) {
    case Rule::Word:
      return ScanWord(line, length, pos);
    case Rule::SingleQuote:
      return ScanTo(line, length, pos, '\'', TokenKind::String, kRangeSingleQuoted);
    case Rule::DoubleQuote:
      return ScanTo(line, length, pos, '"', TokenKind::String, kRangeDoubleQuoted);
    case Rule::Colon:
      return ScanTo(line, length, pos, '+', TokenKind::Label, kRangeLabel);
    case Rule::Semicolon:
      return ScanTo(line, length, pos, '}', TokenKind::Comment, kRangeComment);
    case Rule::CarriageReturn:
      if (pos + 1 < length && line[pos + 1] == '\n') return {pos + 2, TokenKind::Other, kRangeInitial};
      return {pos + 1, TokenKind::Other, kRangeInitial};
    case Rule::LineFeed:
    case Rule::Other:
      break;
  }
  return {pos + 1, TokenKind::Other, kRangeInitial};
}

bool IsWordStart(char ch) { return IsStart(static_cast<unsigned char>(ch)); }
bool IsWordChar(char ch) { return kWordChar[static_cast<unsigned char>(ch)]; }

std::size_t KeywordHash(std::string_view word) { return HashOf(word); }

std::span<const Keyword> KeywordSlot(std::size_t hash) {
  if (hash >= kKeywordSlots) return {};
  return std::span<const Keyword>(kSlots.words)
      .subspan(kSlots.begin[hash], kSlots.begin[hash + 1] - kSlots.begin[hash]);
}

std::span<const Keyword> ListedKeywords() { return kWords; }

TokenKind ClassifyWord(std::string_view word) {
  if (word.empty() || !IsWordStart(word.front())) return TokenKind::Identifier;
  for (char c : word)
    if (!IsWordChar(c)) return TokenKind::Identifier;
  return Lookup(word.data(), word.size(), HashOf(word));
}

}  // namespace varnok::cvl
