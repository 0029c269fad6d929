#pragma once
// Two quick answers for NameSubstrings, over the same text of names (each
// followed by a line feed), so that most questions never need its suffix
// index:
//  - ExactNames: is this text one of the names? (open addressing over the
//    names' offsets, 8 bytes a name);
//  - GramFilter: could this text lie inside a name? Every 8 bytes of a name
//    set a bit; a text with a run of 8 bytes whose bit is clear lies in no
//    name. It never says no wrongly; it says "maybe" to a few texts that are
//    not there, and to every text shorter than 8 bytes.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace varnok {

class ExactNames {
 public:
  // The name of `length` bytes at `offset` of `names`.
  void add(const std::string& names, std::uint32_t offset, std::size_t length);
  bool contains(const std::string& names, std::string_view text) const;
  std::size_t bytes() const { return slots_.capacity() * sizeof(std::uint32_t); }

 private:
  std::size_t find(const std::string& names, std::string_view text) const;  // its slot or an empty one
  void grow(const std::string& names);

  std::vector<std::uint32_t> slots_;  // offset + 1; 0: empty. Size a power of two
  std::size_t used_ = 0;
};

class GramFilter {
 public:
  static constexpr std::size_t kGram = 8;
  static constexpr std::size_t kBitsPerGram = 16;

  void add(const std::string& names, std::size_t offset, std::size_t length);
  bool mayContain(std::string_view text) const;
  std::size_t bytes() const { return bits_.capacity() * sizeof(std::uint64_t); }

 private:
  void set(std::string_view name);
  void grow(const std::string& names);

  std::vector<std::uint64_t> bits_;
  std::size_t grams_ = 0;
};

}  // namespace varnok
