#include "model/name_filters.h"

#include <bit>
#include <cstring>
#include <functional>

namespace varnok {
namespace {

std::size_t HashOf(std::string_view text) { return std::hash<std::string_view>{}(text); }

std::string_view NameAt(const std::string& names, std::uint32_t offset) {
  const std::size_t end = names.find('\n', offset);
  return std::string_view(names).substr(offset, end - offset);
}

std::uint64_t GramAt(const char* p) {
  std::uint64_t gram = 0;
  std::memcpy(&gram, p, sizeof gram);
  return gram * 0x9E3779B97F4A7C15ull;  // the high bits depend on every byte
}

}  // namespace

void ExactNames::add(const std::string& names, std::uint32_t offset, std::size_t length) {
  if (2 * (used_ + 1) > slots_.size()) grow(names);
  const std::size_t slot = find(names, std::string_view(names).substr(offset, length));
  if (slots_[slot] != 0) return;  // a name seen before
  slots_[slot] = offset + 1;
  ++used_;
}

bool ExactNames::contains(const std::string& names, std::string_view text) const {
  return !slots_.empty() && slots_[find(names, text)] != 0;
}

std::size_t ExactNames::find(const std::string& names, std::string_view text) const {
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t slot = HashOf(text) & mask;; slot = (slot + 1) & mask) {
    const std::uint32_t entry = slots_[slot];
    if (entry == 0) return slot;
    const std::size_t at = entry - 1;
    if (at + text.size() < names.size() && names[at + text.size()] == '\n' &&
        names.compare(at, text.size(), text) == 0)
      return slot;
  }
}

void ExactNames::grow(const std::string& names) {
  std::vector<std::uint32_t> old = std::move(slots_);
  slots_.assign(old.empty() ? 64 : 2 * old.size(), 0);
  const std::size_t mask = slots_.size() - 1;
  for (std::uint32_t entry : old) {
    if (entry == 0) continue;
    std::size_t slot = HashOf(NameAt(names, entry - 1)) & mask;
    while (slots_[slot] != 0) slot = (slot + 1) & mask;
    slots_[slot] = entry;
  }
}

void GramFilter::add(const std::string& names, std::size_t offset, std::size_t length) {
  if (length < kGram) return;
  grams_ += length - kGram + 1;
  // At most one bit in sixteen set: a text that is not there passes with a
  // chance of 1/16 for each of its grams that is not there either.
  if (grams_ * kBitsPerGram > bits_.size() * 64) {
    grow(names);
    return;  // grow() has set the new name's bits too
  }
  set(std::string_view(names).substr(offset, length));
}

void GramFilter::set(std::string_view name) {
  const std::size_t shift = 64 - static_cast<std::size_t>(std::countr_zero(bits_.size() * 64));
  for (std::size_t i = 0; i + kGram <= name.size(); ++i) {
    const std::uint64_t bit = GramAt(name.data() + i) >> shift;
    bits_[bit / 64] |= std::uint64_t{1} << (bit % 64);
  }
}

void GramFilter::grow(const std::string& names) {
  std::size_t words = bits_.empty() ? 1024 : bits_.size();
  while (grams_ * kBitsPerGram > words * 64) words *= 2;
  bits_.assign(words, 0);
  for (std::size_t from = 0; from < names.size();) {
    const std::size_t end = names.find('\n', from);
    set(std::string_view(names).substr(from, end - from));
    from = end + 1;
  }
}

bool GramFilter::mayContain(std::string_view text) const {
  if (text.size() < kGram) return true;
  if (bits_.empty()) return false;  // no name of kGram bytes yet
  const std::size_t shift = 64 - static_cast<std::size_t>(std::countr_zero(bits_.size() * 64));
  for (std::size_t i = 0; i + kGram <= text.size(); ++i) {
    const std::uint64_t bit = GramAt(text.data() + i) >> shift;
    if (!(bits_[bit / 64] & (std::uint64_t{1} << (bit % 64)))) return false;
  }
  return true;
}

}  // namespace varnok
