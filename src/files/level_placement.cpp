#include "files/level_placement.h"

namespace varnok {

TreeNode* LevelPlacement::parentFor(std::int64_t level) {
  if (level == previousLevel_) return currentParent_;
  if (level == 1 || !lastCreated_) {
    currentParent_ = top_;
  } else if (level > previousLevel_) {
    currentParent_ = lastCreated_;
  } else {
    TreeNode* n = lastCreated_;
    for (std::int64_t steps = previousLevel_ - level + 1; steps > 0 && n != top_; --steps) n = n->parent();
    currentParent_ = n;
  }
  previousLevel_ = level;
  return currentParent_;
}

}  // namespace varnok
