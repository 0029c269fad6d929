#pragma once
// Case-insensitive text matching for the find filter. Folding keeps every
// text's length, so a range found in the folded text is the same range in
// the original: ASCII letters, and the two-byte UTF-8 capitals of Latin-1,
// Latin Extended-A, Greek and Cyrillic, become their small letters; every
// other byte stays as it is (an 8-bit name that is not UTF-8 is matched
// byte for byte, ASCII letters aside).
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace varnok {

// Appends the folded form of `text` to `out`.
void AppendFolded(std::string& out, std::string_view text);
std::string Folded(std::string_view text);

// A byte range of a text.
struct TextRange {
  std::size_t start = 0;
  std::size_t length = 0;
  bool operator==(const TextRange&) const = default;
};

// Every occurrence of the folded `needle` in the folded `text`, left to
// right, not overlapping; none for an empty needle.
std::vector<TextRange> FindAll(std::string_view foldedText, std::string_view foldedNeedle);

// Merges overlapping and touching ranges, sorted by start.
std::vector<TextRange> MergeRanges(std::vector<TextRange> ranges);

}  // namespace varnok
