#include "model/name_substrings.h"

#include <algorithm>
#include <stdexcept>

namespace varnok {
namespace {

constexpr std::size_t kBatch = 256;

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
  for (std::uint32_t i = 0; i < name.size(); ++i) batch_.push_back(start + i);
  if (batch_.size() >= kBatch) settleBatch();
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

bool NameSubstrings::contains(std::string_view text) const {
  if (text.empty()) return !text_.empty();
  for (std::uint32_t at : batch_)
    if (ComparePrefix(text_, at, text) == 0) return true;
  for (const auto& run : runs_)
    if (!run.empty() && inRun(run, text)) return true;
  return false;
}

std::size_t NameSubstrings::bytes() const {
  std::size_t total = text_.capacity() + batch_.capacity() * sizeof(std::uint32_t);
  for (const auto& run : runs_) total += run.capacity() * sizeof(std::uint32_t);
  return total;
}

}  // namespace varnok
