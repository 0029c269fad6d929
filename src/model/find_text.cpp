#include "model/find_text.h"

#include <algorithm>

namespace varnok {
namespace {

// The small letter of the two-byte UTF-8 sequence lead, trail (as a code
// point), or the code point itself.
unsigned SmallLetter(unsigned cp) {
  if (cp >= 0xC0 && cp <= 0xDE && cp != 0xD7) return cp + 0x20;  // Latin-1
  if (cp >= 0x100 && cp <= 0x17F) {                              // Latin Extended-A
    const bool oddPairs = (cp >= 0x139 && cp <= 0x148) || (cp >= 0x179 && cp <= 0x17E);
    if (cp == 0x130 || cp == 0x138 || cp == 0x149 || cp == 0x178 || cp == 0x17F) return cp;  // no pair here
    if (oddPairs) return (cp & 1) ? cp + 1 : cp;
    return (cp & 1) ? cp : cp + 1;
  }
  if (cp >= 0x391 && cp <= 0x3AB && cp != 0x3A2) return cp + 0x20;  // Greek
  if (cp >= 0x410 && cp <= 0x42F) return cp + 0x20;                 // Cyrillic
  if (cp >= 0x400 && cp <= 0x40F) return cp + 0x50;
  return cp;
}

}  // namespace

void AppendFolded(std::string& out, std::string_view text) {
  const std::size_t base = out.size();
  out.resize(base + text.size());
  char* dst = out.data() + base;
  const auto* src = reinterpret_cast<const unsigned char*>(text.data());
  // Plain ASCII, the usual case, in a loop without branches that the
  // compiler can vectorise.
  unsigned char high = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = src[i];
    high |= c;
    dst[i] = static_cast<char>(c + (static_cast<unsigned char>(c - 'A') < 26 ? 32 : 0));
  }
  if (high < 0x80) return;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = src[i];
    if (c < 0x80) continue;
    const auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0u;
    if (c >= 0xC3 && c <= 0xD0 && (next & 0xC0) == 0x80) {
      const unsigned cp = ((c & 0x1Fu) << 6) | (next & 0x3Fu);
      const unsigned small = SmallLetter(cp);
      // Every pair folded above stays a two-byte sequence.
      dst[i] = static_cast<char>(0xC0 | (small >> 6));
      dst[i + 1] = static_cast<char>(0x80 | (small & 0x3F));
      ++i;
      continue;
    }
  }
}

std::string Folded(std::string_view text) {
  std::string out;
  AppendFolded(out, text);
  return out;
}

std::vector<TextRange> FindAll(std::string_view foldedText, std::string_view foldedNeedle) {
  std::vector<TextRange> found;
  if (foldedNeedle.empty()) return found;
  for (std::size_t at = foldedText.find(foldedNeedle); at != std::string_view::npos;
       at = foldedText.find(foldedNeedle, at + foldedNeedle.size()))
    found.push_back({at, foldedNeedle.size()});
  return found;
}

std::vector<TextRange> MergeRanges(std::vector<TextRange> ranges) {
  std::sort(ranges.begin(), ranges.end(),
            [](const TextRange& a, const TextRange& b) { return a.start < b.start; });
  std::vector<TextRange> merged;
  for (const TextRange& r : ranges) {
    if (!merged.empty() && r.start <= merged.back().start + merged.back().length) {
      const std::size_t end = std::max(merged.back().start + merged.back().length, r.start + r.length);
      merged.back().length = end - merged.back().start;
    } else {
      merged.push_back(r);
    }
  }
  return merged;
}

}  // namespace varnok
