#pragma once
// Answers "does this text occur inside one of the names added so far?" for
// names and texts without line feeds, at about five bytes per byte of name:
// the names' suffixes, sorted in runs of doubling length that are merged as
// names come (a suffix array built in steps). Each name ends at its line
// feed, so no match runs from one name into the next.
//
// The suffixes are sorted only once a question needs them: a text that is
// one of the names, or that the gram filter rules out, is answered without
// them (most questions of the naming rules: a name met again, a fresh "Copy
// (n) of" name).
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/name_filters.h"

namespace varnok {

class NameSubstrings {
 public:
  void add(std::string_view name);  // `name` holds no line feed
  // Not const: the suffixes of the names added since the last question that
  // needed them are sorted first.
  bool contains(std::string_view text);
  std::size_t bytes() const;  // memory held, for measurements

 private:
  bool less(std::uint32_t a, std::uint32_t b) const;  // suffix order, each cut at its line feed
  bool inRun(const std::vector<std::uint32_t>& run, std::string_view text) const;
  bool inSuffixes(std::string_view text);
  void settleBatch();

  std::string text_;  // every name followed by a line feed
  ExactNames exact_;
  GramFilter grams_;
  std::size_t searched_ = 0;                      // bytes searched directly so far
  std::size_t sorted_ = 0;                        // text_ up to here has its suffixes in batch_ or runs_
  std::vector<std::uint32_t> batch_;              // the newest suffixes, unsorted
  std::vector<std::vector<std::uint32_t>> runs_;  // sorted; run i empty or of about kBatch << i
};

}  // namespace varnok
