#pragma once
// How a line of a profile (INI) text reads: the rules IniFile and
// IniSectionWalk share (see common/ini_file.h). Inline, since a reader of a
// large file calls them for every line.
#include <algorithm>
#include <cstddef>
#include <optional>
#include <string_view>
#include <utility>

namespace varnok {

// The position of the first CR or LF in `text` at or after `from`; npos when
// there is none. Linear in the bytes searched (std::string_view's
// find_first_of looks up the two characters once per byte).
std::size_t FindLineBreak(std::string_view text, std::size_t from = 0);
inline bool HasLineBreak(std::string_view text) { return FindLineBreak(text) != std::string_view::npos; }

namespace ini {

inline constexpr std::string_view kBlanks = " \t";

inline std::string_view Trim(std::string_view s) {
  auto first = s.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  auto last = s.find_last_not_of(kBlanks);
  return s.substr(first, last - first + 1);
}

inline char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Section and key names are equal without regard to ASCII letter case.
inline bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Lower(x) == Lower(y); });
}

// The name of a "[section]" line, or nullopt when the line is no header.
inline std::optional<std::string_view> SectionName(std::string_view line) {
  std::string_view t = Trim(line);
  if (t.empty() || t.front() != '[') return std::nullopt;
  t.remove_prefix(1);
  auto close = t.find(']');
  if (close != std::string_view::npos) t = t.substr(0, close);
  return Trim(t);
}

// The key of a "key=value" line, or nullopt when the line holds none.
inline std::optional<std::string_view> KeyName(std::string_view line) {
  std::string_view t = Trim(line);
  if (t.empty() || t.front() == ';' || t.front() == '#' || t.front() == '[') return std::nullopt;
  auto eq = t.find('=');
  if (eq == std::string_view::npos) return std::nullopt;
  std::string_view key = Trim(t.substr(0, eq));
  if (key.empty()) return std::nullopt;
  return key;
}

// The trimmed key and value of a "key=value" line.
inline std::optional<std::pair<std::string_view, std::string_view>> KeyLine(std::string_view line) {
  auto key = KeyName(line);
  if (!key) return std::nullopt;
  return std::make_pair(*key, Trim(line.substr(line.find('=') + 1)));
}

}  // namespace ini
}  // namespace varnok
