#pragma once
// Answers "does this pattern occur anywhere in the text so far?" in time
// proportional to the pattern, while text is appended piece by piece (an
// online suffix automaton). The naming rules use it to test many candidate
// names against long sibling lists without rescanning them.
#include <cstdint>
#include <string_view>
#include <vector>

namespace varnok {

class SubstringIndex {
 public:
  SubstringIndex();
  void append(std::string_view text);
  void append(char c);
  bool contains(std::string_view pattern) const;
  // contains(reverse of pattern), without building the reversed string.
  bool containsReversed(std::string_view pattern) const;
  bool empty() const { return length_ == 0; }

 private:
  // Edges live in one array, each state's as a linked list (for copying a
  // state's edges); lookups go through an open-addressing table over
  // (state, character), so a state with many edges costs one probe.
  struct Edge {
    std::int32_t from;
    std::int32_t to;
    std::int32_t next;  // next edge of the same state, -1 at the end
    unsigned char c;
  };
  struct State {
    std::int32_t len = 0;
    std::int32_t link = -1;
    std::int32_t edges = -1;
  };
  std::int32_t go(std::int32_t state, unsigned char c) const;
  void setEdge(std::int32_t state, unsigned char c, std::int32_t to);
  std::size_t slotOf(std::int32_t state, unsigned char c) const;
  void addEdge(std::int32_t state, unsigned char c, std::int32_t to);
  void grow();

  std::vector<State> states_;
  std::vector<Edge> edges_;
  std::vector<std::int32_t> slots_;  // edge index or -1; size a power of two
  std::int32_t last_ = 0;
  std::int64_t length_ = 0;
};

}  // namespace varnok
