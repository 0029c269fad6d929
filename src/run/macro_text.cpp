#include "run/macro_text.h"

#include <algorithm>

namespace varnok::run {

MacroLines SplitLines(std::string_view text) {
  MacroLines lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t brk = text.find_first_of("\r\n", start);
    if (brk == std::string_view::npos) {
      lines.emplace_back(text.substr(start));
      break;
    }
    lines.emplace_back(text.substr(start, brk - start));
    start = brk + ((text[brk] == '\r' && brk + 1 < text.size() && text[brk + 1] == '\n') ? 2 : 1);
  }
  return lines;
}

std::string JoinLines(const MacroLines& lines) {
  std::string out;
  for (const std::string& l : lines) {
    out += l;
    out += "\r\n";
  }
  return out;
}

std::string CutToCaretLine(std::string_view text, int caretLine) {
  if (caretLine < 1) return {};
  std::size_t pos = 0;
  for (int line = 1; line <= caretLine; ++line) {
    std::size_t brk = text.find_first_of("\r\n", pos);
    if (brk == std::string_view::npos) return std::string(text);
    pos = brk + ((text[brk] == '\r' && brk + 1 < text.size() && text[brk + 1] == '\n') ? 2 : 1);
  }
  return std::string(text.substr(0, pos));
}

std::string ToUpperAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

std::string ToLowerAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

std::size_t FindNoCase(std::string_view haystack, std::string_view needle, std::size_t from) {
  if (needle.empty() || haystack.size() < needle.size()) return std::string_view::npos;
  std::string upperHay = ToUpperAscii(haystack);
  std::string upperNeedle = ToUpperAscii(needle);
  return upperHay.find(upperNeedle, from);
}

std::string_view TrimControl(std::string_view s) {
  auto isTrimmed = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
  while (!s.empty() && isTrimmed(s.front())) s.remove_prefix(1);
  while (!s.empty() && isTrimmed(s.back())) s.remove_suffix(1);
  return s;
}

std::string ReplaceConnectionVariable(std::string_view name, std::string_view text) {
  static constexpr std::string_view kVariable = "$CONNECTION$";
  std::string_view word = name.substr(0, std::min(name.find(' '), name.size()));
  std::string out;
  std::size_t pos = 0;
  const std::string upper = ToUpperAscii(text);
  for (;;) {
    std::size_t at = upper.find(kVariable, pos);
    if (at == std::string::npos) break;
    out.append(text.substr(pos, at - pos));
    out.append(word);
    pos = at + kVariable.size();
  }
  out.append(text.substr(pos));
  return out;
}

std::string EncodeLogName(std::string_view logName) {
  std::string out;
  for (char c : logName) {
    bool keep =
        (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
    if (keep) {
      out += c;
    } else if (c == ' ') {
      out += '_';
    } else {
      out += '%';
      out += std::to_string(static_cast<unsigned char>(c));
    }
  }
  return out;
}

}  // namespace varnok::run
