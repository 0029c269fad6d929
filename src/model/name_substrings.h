#pragma once
// Answers "does this text occur inside one of the names added so far?" for
// names and texts without line feeds, at about five bytes per byte of name:
// the names' suffixes, sorted in runs of doubling length that are merged as
// names come (a suffix array built in steps). Each name ends at its line
// feed, so no match runs from one name into the next.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace varnok {

class NameSubstrings {
 public:
  void add(std::string_view name);  // `name` holds no line feed
  bool contains(std::string_view text) const;
  std::size_t bytes() const;  // memory held, for measurements

 private:
  bool less(std::uint32_t a, std::uint32_t b) const;  // suffix order, each cut at its line feed
  bool inRun(const std::vector<std::uint32_t>& run, std::string_view text) const;
  void settleBatch();

  std::string text_;                              // every name followed by a line feed
  std::vector<std::uint32_t> batch_;              // the newest suffixes, unsorted
  std::vector<std::vector<std::uint32_t>> runs_;  // sorted; run i empty or of about kBatch << i
};

}  // namespace varnok
