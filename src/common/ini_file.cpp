#include "common/ini_file.h"

#include <algorithm>
#include <cstring>
#include <unordered_set>

namespace varnok {
namespace {

using ini::KeyName;
using ini::Lower;
using ini::SameName;
using ini::SectionName;
using ini::Trim;

std::string FoldedName(std::string_view name) {
  std::string out(name);
  std::transform(out.begin(), out.end(), out.begin(), Lower);
  return out;
}

}  // namespace

std::size_t FindLineBreak(std::string_view text, std::size_t from) {
  // Both characters searched with memchr in windows, so that a text without
  // one of them is not searched to its end for every line.
  constexpr std::size_t kWindow = 256;
  for (std::size_t at = from; at < text.size(); at += kWindow) {
    const std::size_t n = std::min(kWindow, text.size() - at);
    const char* p = text.data() + at;
    const void* lf = std::memchr(p, '\n', n);
    const std::size_t limit = lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - p) : n;
    if (const void* cr = std::memchr(p, '\r', limit))
      return at + static_cast<std::size_t>(static_cast<const char*>(cr) - p);
    if (lf) return at + limit;
  }
  return std::string_view::npos;
}

IniFile::IniFile(std::string newline) : newline_(std::move(newline)) {}

IniFile IniFile::parse(std::string_view text, std::string defaultNewline) {
  IniFile ini(std::move(defaultNewline));
  bool newlineFound = false;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t brk = FindLineBreak(text, start);
    Line line;
    if (brk == std::string_view::npos) {
      line.text = std::string(text.substr(start));
      start = text.size();
    } else {
      line.text = std::string(text.substr(start, brk - start));
      std::size_t len = (text[brk] == '\r' && brk + 1 < text.size() && text[brk + 1] == '\n') ? 2 : 1;
      line.eol = std::string(text.substr(brk, len));
      start = brk + len;
      if (!newlineFound) {
        ini.newline_ = line.eol;
        newlineFound = true;
      }
    }
    ini.lines_.push_back(std::move(line));
  }
  return ini;
}

std::string IniFile::serialize() const {
  std::string out;
  for (const Line& l : lines_) {
    out += l.text;
    out += l.eol;
  }
  return out;
}

std::optional<IniFile::Span> IniFile::findSection(std::string_view section) const {
  section = Trim(section);
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    auto name = SectionName(lines_[i].text);
    if (!name || !SameName(*name, section)) continue;
    std::size_t end = i + 1;
    while (end < lines_.size() && !SectionName(lines_[end].text)) ++end;
    return Span{i, end};
  }
  return std::nullopt;
}

std::optional<std::size_t> IniFile::findKey(const Span& span, std::string_view key) const {
  key = Trim(key);
  for (std::size_t i = span.header + 1; i < span.end; ++i) {
    auto name = KeyName(lines_[i].text);
    if (name && SameName(*name, key)) return i;
  }
  return std::nullopt;
}

std::optional<std::string> IniFile::get(std::string_view section, std::string_view key) const {
  auto span = findSection(section);
  if (!span) return std::nullopt;
  auto at = findKey(*span, key);
  if (!at) return std::nullopt;
  const std::string& text = lines_[*at].text;
  return std::string(Trim(std::string_view(text).substr(text.find('=') + 1)));
}

std::string IniFile::get(std::string_view section, std::string_view key, std::string_view fallback) const {
  auto value = get(section, key);
  return value ? *value : std::string(fallback);
}

bool IniFile::hasSection(std::string_view section) const { return findSection(section).has_value(); }

std::vector<std::string> IniFile::sections() const {
  std::vector<std::string> names;
  std::unordered_set<std::string> seen;
  for (const Line& l : lines_) {
    auto name = SectionName(l.text);
    if (name && seen.insert(FoldedName(*name)).second) names.emplace_back(*name);
  }
  return names;
}

std::vector<std::string> IniFile::keys(std::string_view section) const {
  std::vector<std::string> names;
  auto span = findSection(section);
  if (!span) return names;
  std::unordered_set<std::string> seen;
  for (std::size_t i = span->header + 1; i < span->end; ++i) {
    auto name = KeyName(lines_[i].text);
    if (name && seen.insert(FoldedName(*name)).second) names.emplace_back(*name);
  }
  return names;
}

void IniFile::ensureLastLineEnds() {
  if (!lines_.empty() && lines_.back().eol.empty()) lines_.back().eol = newline_;
}

bool IniFile::canWrite(std::string_view section, std::string_view key, std::string_view value) {
  section = Trim(section);
  key = Trim(key);
  if (section.empty() || section.find(']') != std::string_view::npos || HasLineBreak(section)) return false;
  if (key.empty() || key.find('=') != std::string_view::npos || HasLineBreak(key)) return false;
  if (key.front() == '[' || key.front() == ';' || key.front() == '#') return false;
  return !HasLineBreak(value);
}

bool IniFile::set(std::string_view section, std::string_view key, std::string_view value) {
  if (!canWrite(section, key, value)) return false;
  section = Trim(section);
  key = Trim(key);

  auto span = findSection(section);
  if (!span) {
    ensureLastLineEnds();
    lines_.push_back({"[" + std::string(section) + "]", newline_});
    lines_.push_back({std::string(key) + "=" + std::string(value), newline_});
    return true;
  }
  if (auto at = findKey(*span, key)) {
    std::string& text = lines_[*at].text;
    std::size_t keep = text.find('=') + 1;
    while (keep < text.size() && (text[keep] == ' ' || text[keep] == '\t')) ++keep;
    text.replace(keep, std::string::npos, value);
    return true;
  }
  std::size_t insertAt = span->header + 1;
  for (std::size_t i = span->end; i > span->header + 1; --i) {
    if (!Trim(lines_[i - 1].text).empty()) {
      insertAt = i;
      break;
    }
  }
  if (lines_[insertAt - 1].eol.empty()) lines_[insertAt - 1].eol = newline_;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt),
                Line{std::string(key) + "=" + std::string(value), newline_});
  return true;
}

std::vector<IniFile::Entry> IniFile::entries(std::string_view section) const {
  std::vector<Entry> entries;
  auto span = findSection(section);
  if (!span) return entries;
  for (std::size_t i = span->header + 1; i < span->end; ++i) {
    auto name = KeyName(lines_[i].text);
    if (!name) continue;
    const std::string& text = lines_[i].text;
    entries.emplace_back(std::string(*name),
                         std::string(Trim(std::string_view(text).substr(text.find('=') + 1))));
  }
  return entries;
}

bool IniFile::appendSection(std::string_view section, const std::vector<Entry>& entries) {
  if (findSection(section)) return false;
  std::unordered_set<std::string> seen;
  seen.reserve(entries.size());
  for (const Entry& e : entries) {
    if (!canWrite(section, e.first, e.second)) return false;
    std::string folded(Trim(e.first));
    std::transform(folded.begin(), folded.end(), folded.begin(), Lower);
    if (!seen.insert(std::move(folded)).second) return false;
  }
  ensureLastLineEnds();
  lines_.reserve(lines_.size() + entries.size() + 1);
  lines_.push_back({"[" + std::string(Trim(section)) + "]", newline_});
  for (const Entry& e : entries) lines_.push_back({std::string(Trim(e.first)) + "=" + e.second, newline_});
  return true;
}

bool IniFile::removeKey(std::string_view section, std::string_view key) {
  auto span = findSection(section);
  if (!span) return false;
  auto at = findKey(*span, key);
  if (!at) return false;
  lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(*at));
  return true;
}

bool IniFile::removeSection(std::string_view section) {
  auto span = findSection(section);
  if (!span) return false;
  lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(span->header),
               lines_.begin() + static_cast<std::ptrdiff_t>(span->end));
  return true;
}

}  // namespace varnok
