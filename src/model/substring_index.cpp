#include "model/substring_index.h"

namespace varnok {

SubstringIndex::SubstringIndex() { states_.emplace_back(); }

std::int32_t SubstringIndex::go(std::int32_t state, unsigned char c) const {
  for (std::int32_t e = states_[static_cast<std::size_t>(state)].edges; e >= 0;
       e = edges_[static_cast<std::size_t>(e)].next) {
    const Edge& edge = edges_[static_cast<std::size_t>(e)];
    if (edge.c == c) return edge.to;
  }
  return -1;
}

void SubstringIndex::setEdge(std::int32_t state, unsigned char c, std::int32_t to) {
  State& s = states_[static_cast<std::size_t>(state)];
  for (std::int32_t e = s.edges; e >= 0; e = edges_[static_cast<std::size_t>(e)].next) {
    Edge& edge = edges_[static_cast<std::size_t>(e)];
    if (edge.c == c) {
      edge.to = to;
      return;
    }
  }
  edges_.push_back({to, s.edges, c});
  s.edges = static_cast<std::int32_t>(edges_.size() - 1);
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
        edges_.push_back({copy.to, states_[static_cast<std::size_t>(clone)].edges, copy.c});
        states_[static_cast<std::size_t>(clone)].edges = static_cast<std::int32_t>(edges_.size() - 1);
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
