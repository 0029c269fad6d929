#include "model/find_query.h"

#include <array>
#include <utility>

#include "model/find_text.h"

namespace varnok {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool StartsWithFolded(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && Folded(text.substr(0, prefix.size())) == prefix;
}

// The field named by a prefix at the start of `rest`, which is then skipped.
// Only when something follows the colon.
FindField TakeField(std::string_view& rest) {
  static constexpr std::array<std::pair<std::string_view, FindField>, 4> prefixes{{
      {"host:", FindField::Host},
      {"user:", FindField::User},
      {"macro:", FindField::Macro},
      {"popup:", FindField::Popup},
  }};
  for (const auto& [prefix, field] : prefixes) {
    if (rest.size() > prefix.size() && !IsBlank(rest[prefix.size()]) && StartsWithFolded(rest, prefix)) {
      rest.remove_prefix(prefix.size());
      return field;
    }
  }
  return FindField::Path;
}

// A quoted phrase from just after its opening quote to its closing quote
// (or the end of the text); `at` ends after it.
std::string TakePhrase(std::string_view text, std::size_t& at) {
  std::string phrase;
  while (at < text.size()) {
    const char c = text[at++];
    if (c == '\\' && at < text.size() && text[at] == '"') {
      phrase.push_back('"');
      ++at;
    } else if (c == '"') {
      break;
    } else {
      phrase.push_back(c);
    }
  }
  return phrase;
}

}  // namespace

bool FindQuery::uses(FindField field) const {
  for (const FindTerm& t : terms)
    if (t.field == field) return true;
  return false;
}

FindQuery ParseFindQuery(std::string_view text) {
  FindQuery query;
  std::size_t at = 0;
  while (at < text.size() && query.terms.size() < FindQuery::kMaxTerms) {
    if (IsBlank(text[at])) {
      ++at;
      continue;
    }
    FindTerm term;
    if (text[at] == '-' && at + 1 < text.size() && !IsBlank(text[at + 1])) {
      term.exclude = true;
      ++at;
    }
    std::string_view rest = text.substr(at);
    term.field = TakeField(rest);
    at = text.size() - rest.size();
    std::string word;
    if (at < text.size() && text[at] == '"') {
      ++at;
      word = TakePhrase(text, at);
    } else {
      const std::size_t start = at;
      while (at < text.size() && !IsBlank(text[at])) ++at;
      word.assign(text.substr(start, at - start));
    }
    if (word.empty()) continue;
    term.text = Folded(word);
    query.terms.push_back(std::move(term));
  }
  return query;
}

}  // namespace varnok
