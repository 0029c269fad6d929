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

int LevelDepths::depthFor(std::int64_t level) {
  if (level != previousLevel_) {
    if (level == 1 || lastDepth_ == 0) {
      parentDepth_ = 0;
    } else if (level > previousLevel_) {
      parentDepth_ = lastDepth_;
    } else {
      const std::int64_t up = lastDepth_ - (previousLevel_ - level + 1);
      parentDepth_ = up < 0 ? 0 : static_cast<int>(up);
    }
    previousLevel_ = level;
  }
  lastDepth_ = parentDepth_ + 1;
  return lastDepth_;
}

}  // namespace varnok
