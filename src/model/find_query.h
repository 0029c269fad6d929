#pragma once
// The find filter's query, small enough to type:
//
//   lab rtr              every word must occur in the connection's name path
//                        (its names from below the top node joined by "/"),
//                        in any letter case
//   host:core user:ops   a word that must occur in a host or user name of the
//                        macro's connect lines (model/connect_lines.h)
//   macro:logopen        ... in the macro text; popup:rack ... in the popup text
//   "rack 4"             a phrase, blanks included (\" inside it is a quote)
//   -lab -host:old       a leading "-" excludes what the word matches
//
// A prefix other than these four, and a word without text after its prefix,
// are taken as typed (an empty word is dropped).
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace varnok {

enum class FindField : std::uint8_t { Path, Host, User, Macro, Popup };

struct FindTerm {
  FindField field = FindField::Path;
  std::string text;  // folded (model/find_text.h)
  bool exclude = false;
  bool operator==(const FindTerm&) const = default;
};

struct FindQuery {
  // At most kMaxTerms; words beyond them are ignored.
  static constexpr std::size_t kMaxTerms = 32;
  std::vector<FindTerm> terms;
  bool empty() const { return terms.empty(); }
  bool uses(FindField field) const;
};

FindQuery ParseFindQuery(std::string_view text);

}  // namespace varnok
