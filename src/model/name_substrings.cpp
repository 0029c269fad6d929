#include "model/name_substrings.h"

#include <algorithm>
#include <stdexcept>

namespace varnok {
namespace {

constexpr std::size_t kBatch = 256;
// Sorting the suffixes costs about as much as this many searches of the text.
constexpr std::size_t kSearchesPerSort = 32;

// -1, 0, 1 as the suffix at `at` (cut at its line feed) sorts before, as, or
// after `text` when only the first text.size() bytes of the suffix count.
int ComparePrefix(const std::string& names, std::size_t at, std::string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = names[at + i];
    if (c == '\n') return -1;  // the suffix ends first
    if (c != text[i]) return static_cast<unsigned char>(c) < static_cast<unsigned char>(text[i]) ? -1 : 1;
  }
  return 0;
}

}  // namespace

void NameSubstrings::add(std::string_view name) {
  if (text_.size() + name.size() + 1 > UINT32_MAX) throw std::length_error("too many names to compare");
  const auto start = static_cast<std::uint32_t>(text_.size());
  text_.append(name).push_back('\n');
  exact_.add(text_, start, name.size());
  grams_.add(text_, start, name.size());
}

bool NameSubstrings::less(std::uint32_t a, std::uint32_t b) const {
  for (;; ++a, ++b) {
    const char ca = text_[a], cb = text_[b];
    if (ca == '\n' || cb == '\n') return ca == '\n' && cb != '\n';
    if (ca != cb) return static_cast<unsigned char>(ca) < static_cast<unsigned char>(cb);
  }
}

// Sorts the batch and merges it with the runs of the same size, as a binary
// counter carries: every suffix is merged about log(n) times.
void NameSubstrings::settleBatch() {
  auto order = [this](std::uint32_t a, std::uint32_t b) { return less(a, b); };
  std::vector<std::uint32_t> carry = std::move(batch_);
  batch_ = {};
  std::sort(carry.begin(), carry.end(), order);
  for (auto& run : runs_) {
    if (run.empty()) {
      run = std::move(carry);
      return;
    }
    std::vector<std::uint32_t> merged;
    merged.reserve(run.size() + carry.size());
    std::merge(run.begin(), run.end(), carry.begin(), carry.end(), std::back_inserter(merged), order);
    run = {};
    carry = std::move(merged);
  }
  runs_.push_back(std::move(carry));
}

bool NameSubstrings::inRun(const std::vector<std::uint32_t>& run, std::string_view text) const {
  auto first = std::partition_point(run.begin(), run.end(),
                                    [&](std::uint32_t at) { return ComparePrefix(text_, at, text) < 0; });
  return first != run.end() && ComparePrefix(text_, *first, text) == 0;
}

bool NameSubstrings::contains(std::string_view text) {
  if (text.empty()) return !text_.empty();
  if (exact_.contains(text_, text)) return true;
  if (!grams_.mayContain(text)) return false;
  return inSuffixes(text);
}

bool NameSubstrings::inSuffixes(std::string_view text) {
  if (text.find('\n') != std::string_view::npos) return false;  // no name holds one
  // The few texts the filters cannot answer are searched directly, until
  // the searches have cost as much as sorting the suffixes would.
  if (sorted_ == 0 && searched_ + text_.size() <= kSearchesPerSort * text_.size()) {
    searched_ += text_.size();
    return std::string_view(text_).find(text) != std::string_view::npos;
  }
  for (; sorted_ < text_.size(); ++sorted_) {
    if (text_[sorted_] == '\n') continue;
    batch_.push_back(static_cast<std::uint32_t>(sorted_));
    if (batch_.size() >= kBatch) settleBatch();
  }
  for (std::uint32_t at : batch_)
    if (ComparePrefix(text_, at, text) == 0) return true;
  for (const auto& run : runs_)
    if (!run.empty() && inRun(run, text)) return true;
  return false;
}

std::size_t NameSubstrings::bytes() const {
  std::size_t total =
      text_.capacity() + exact_.bytes() + grams_.bytes() + batch_.capacity() * sizeof(std::uint32_t);
  for (const auto& run : runs_) total += run.capacity() * sizeof(std::uint32_t);
  return total;
}

}  // namespace varnok
