#pragma once
// What the find filter reads of a tree, laid out for a fast walk: every
// node in pre-order with its depth, where its branch ends, and its name
// folded (model/find_text.h), the names side by side in one text. A search
// then reads two arrays front to back instead of chasing the nodes through
// memory. Valid until the tree's structure or a name changes.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/connection_tree.h"

namespace varnok {

class FindIndex {
 public:
  explicit FindIndex(const ConnectionTree& tree);

  struct Entry {
    const TreeNode* node;
    std::uint32_t nameStart;  // in names()
    std::int32_t depth;       // 0 for the top node
    std::int32_t branchEnd;   // the first entry after this node's branch
  };
  const std::vector<Entry>& entries() const { return entries_; }
  std::string_view name(std::size_t entry) const {
    const std::uint32_t end = entry + 1 < entries_.size() ? entries_[entry + 1].nameStart
                                                          : static_cast<std::uint32_t>(names_.size());
    return std::string_view(names_).substr(entries_[entry].nameStart, end - entries_[entry].nameStart);
  }
  std::size_t bytes() const;  // memory held, for measurements

 private:
  std::vector<Entry> entries_;
  std::string names_;
};

}  // namespace varnok
