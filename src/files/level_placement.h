#pragma once
// Where a record read from a file goes: the file readers (.VNK and .PLF) list
// nodes in pre-order, each with its Level, and rebuild the shape from the
// levels alone. For each record of level L:
//   - L equal to the previous record's level: the same parent as before;
//   - else L == 1, or nothing created yet: the top node;
//   - else L greater than the previous level: the node created last (also
//     when L jumps by more than one);
//   - else: walk up (previous level - L + 1) steps from the node created
//     last, stopping at the top node.
// Records that create no node (an empty name) are not reported at all.
//
//   LevelPlacement place(top);
//   TreeNode* parent = place.parentFor(level);
//   place.created(builder.append(parent, data));
#include <cstdint>

#include "model/connection_tree.h"

namespace varnok {

class LevelPlacement {
 public:
  explicit LevelPlacement(TreeNode* top) : top_(top), currentParent_(top) {}

  // The parent for the next record, of level `level`; remembered as the
  // current parent, and `level` as the previous level.
  TreeNode* parentFor(std::int64_t level);
  // The node just created below the parent ParentFor returned.
  void created(TreeNode* node) { lastCreated_ = node; }

 private:
  TreeNode* top_;
  TreeNode* currentParent_;
  TreeNode* lastCreated_ = nullptr;
  std::int64_t previousLevel_ = 1;
};

// The same rules for a reader that keeps no nodes, on depths alone (the top
// node 0, its children 1).
class LevelDepths {
 public:
  // The depth of the node the next record, of level `level`, creates.
  int depthFor(std::int64_t level);

 private:
  int parentDepth_ = 0;
  int lastDepth_ = 0;  // 0: nothing created yet
  std::int64_t previousLevel_ = 1;
};

}  // namespace varnok
