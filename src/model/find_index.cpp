#include "model/find_index.h"

#include <stdexcept>

#include "model/find_text.h"

namespace varnok {

FindIndex::FindIndex(const ConnectionTree& tree) {
  entries_.reserve(static_cast<std::size_t>(tree.count()));
  // The entries whose branch is still open, deepest last.
  std::vector<std::size_t> open;
  for (const TreeNode* n = tree.top(); n; n = ConnectionTree::next(n)) {
    const std::int32_t depth = n->data().Level;
    while (!open.empty() && entries_[open.back()].depth >= depth) {
      entries_[open.back()].branchEnd = static_cast<std::int32_t>(entries_.size());
      open.pop_back();
    }
    if (names_.size() > UINT32_MAX - n->name().size()) throw std::length_error("names too long to index");
    entries_.push_back({n, static_cast<std::uint32_t>(names_.size()), depth, 0});
    if (n->parent()) AppendFolded(names_, n->name());  // the top node's name is never read
    open.push_back(entries_.size() - 1);
  }
  for (std::size_t e : open) entries_[e].branchEnd = static_cast<std::int32_t>(entries_.size());
}

std::size_t FindIndex::bytes() const { return entries_.capacity() * sizeof(Entry) + names_.capacity(); }

}  // namespace varnok
