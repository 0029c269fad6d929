#include "model/substring_index.h"

namespace varnok {

SubstringIndex::SubstringIndex() : slots_(64, -1) { states_.emplace_back(); }

std::size_t SubstringIndex::slotOf(std::int32_t state, unsigned char c) const {
  std::uint64_t key = (static_cast<std::uint64_t>(static_cast<std::uint32_t>(state)) << 8) | c;
  key *= 0x9E3779B97F4A7C15ULL;
  return static_cast<std::size_t>(key >> 32) & (slots_.size() - 1);
}

std::int32_t SubstringIndex::go(std::int32_t state, unsigned char c) const {
  for (std::size_t i = slotOf(state, c);; i = (i + 1) & (slots_.size() - 1)) {
    const std::int32_t e = slots_[i];
    if (e < 0) return -1;
    const Edge& edge = edges_[static_cast<std::size_t>(e)];
    if (edge.from == state && edge.c == c) return edge.to;
  }
}

void SubstringIndex::grow() {
  std::vector<std::int32_t> old(slots_.size() * 2, -1);
  slots_.swap(old);
  for (std::size_t e = 0; e < edges_.size(); ++e) {
    std::size_t i = slotOf(edges_[e].from, edges_[e].c);
    while (slots_[i] >= 0) i = (i + 1) & (slots_.size() - 1);
    slots_[i] = static_cast<std::int32_t>(e);
  }
}

void SubstringIndex::addEdge(std::int32_t state, unsigned char c, std::int32_t to) {
  if ((edges_.size() + 1) * 2 > slots_.size()) grow();
  State& s = states_[static_cast<std::size_t>(state)];
  edges_.push_back({state, to, s.edges, c});
  s.edges = static_cast<std::int32_t>(edges_.size() - 1);
  std::size_t i = slotOf(state, c);
  while (slots_[i] >= 0) i = (i + 1) & (slots_.size() - 1);
  slots_[i] = s.edges;
}

void SubstringIndex::setEdge(std::int32_t state, unsigned char c, std::int32_t to) {
  for (std::size_t i = slotOf(state, c);; i = (i + 1) & (slots_.size() - 1)) {
    const std::int32_t e = slots_[i];
    if (e < 0) break;
    Edge& edge = edges_[static_cast<std::size_t>(e)];
    if (edge.from == state && edge.c == c) {
      edge.to = to;
      return;
    }
  }
  addEdge(state, c, to);
}

void SubstringIndex::append(std::string_view text) {
  for (char c : text) append(c);
}

void SubstringIndex::append(char ch) {
  const auto c = static_cast<unsigned char>(ch);
  ++length_;
  const auto cur = static_cast<std::int32_t>(states_.size());
  states_.push_back({states_[static_cast<std::size_t>(last_)].len + 1, -1, -1});
  std::int32_t p = last_;
  while (p != -1 && go(p, c) == -1) {
    setEdge(p, c, cur);
    p = states_[static_cast<std::size_t>(p)].link;
  }
  if (p == -1) {
    states_[static_cast<std::size_t>(cur)].link = 0;
  } else {
    const std::int32_t q = go(p, c);
    if (states_[static_cast<std::size_t>(p)].len + 1 == states_[static_cast<std::size_t>(q)].len) {
      states_[static_cast<std::size_t>(cur)].link = q;
    } else {
      const auto clone = static_cast<std::int32_t>(states_.size());
      states_.push_back(
          {states_[static_cast<std::size_t>(p)].len + 1, states_[static_cast<std::size_t>(q)].link, -1});
      for (std::int32_t e = states_[static_cast<std::size_t>(q)].edges; e >= 0;
           e = edges_[static_cast<std::size_t>(e)].next) {
        const Edge copy = edges_[static_cast<std::size_t>(e)];
        addEdge(clone, copy.c, copy.to);
      }
      while (p != -1 && go(p, c) == q) {
        setEdge(p, c, clone);
        p = states_[static_cast<std::size_t>(p)].link;
      }
      states_[static_cast<std::size_t>(q)].link = clone;
      states_[static_cast<std::size_t>(cur)].link = clone;
    }
  }
  last_ = cur;
}

bool SubstringIndex::contains(std::string_view pattern) const {
  std::int32_t s = 0;
  for (char c : pattern) {
    s = go(s, static_cast<unsigned char>(c));
    if (s < 0) return false;
  }
  return true;
}

bool SubstringIndex::containsReversed(std::string_view pattern) const {
  std::int32_t s = 0;
  for (auto it = pattern.rbegin(); it != pattern.rend(); ++it) {
    s = go(s, static_cast<unsigned char>(*it));
    if (s < 0) return false;
  }
  return true;
}

}  // namespace varnok
