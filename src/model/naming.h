#pragma once
// Naming rules of the connection tree. All searches are plain, case-sensitive
// substring searches, so "Unnamed connection #12" makes "#1" taken and a
// sibling "Router A" makes "Router" taken. None of these shows anything.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "model/connection_tree.h"

namespace varnok {

// "Unnamed connection #" + the smallest n >= 1 whose name does not occur in
// the names of all nodes concatenated in tree order with nothing between.
// Linear in the total length of the names, which are read in pieces of
// about `piece` bytes (small ones in tests, to cross many seams).
std::string NewConnectionName(const ConnectionTree& tree, std::size_t piece = 64 * 1024);

// A name for `node` (a copy) that does not collide with its siblings: a
// separator keeps its name; otherwise the first of name, "Copy of " + name,
// "Copy (2) of " + name, "Copy (3) of " + name ... that does not occur in the
// list of sibling names (following ones nearest first when
// includeFollowing, then preceding ones nearest first, each after a line
// feed). Without siblings to compare with, the name is kept.
std::string CopyName(const TreeNode* node, bool includeFollowing);

// Makes names unique among siblings everywhere below `parent`: in every
// sibling list of its subtree (the first child's descendants included), each
// child from the second on gets CopyName against its preceding siblings.
// Renames go through the tree (DataChanged). Returns the number of names
// changed. Near-linear in the total length of the names involved.
int ResolveSiblingNames(ConnectionTree& tree, TreeNode* parent);

// Names for nodes that have just arrived below one parent (pasted, copied by
// a drop, duplicated), given in tree order. An arriving connection whose name
// occurs in the names of its other siblings takes the first free of
// "Copy of " + name, "Copy (2) of " + name, ...; the nodes that were there
// keep their names, and among the arrivals the earlier ones keep theirs.
// Below the arrivals every sibling list is resolved as by
// ResolveSiblingNames. Returns the number of names changed.
int NameArrivals(ConnectionTree& tree, const std::vector<TreeNode*>& arrived);

class SiblingNamer;

// One step of naming a sibling list in order: `node` takes the name it must
// have against the names `names` holds so far (a separator keeps its own),
// and that name joins them. True when the node was renamed.
bool TakeFreeName(ConnectionTree& tree, SiblingNamer& names, TreeNode* node);

struct NameCheck {
  bool ok = true;
  std::string message;  // the warning to show when !ok
};

// Validates a name typed for `node` (the caller has refused an empty one):
// no "&", and no sibling named exactly trim(`text`), the name it would get.
NameCheck CheckConnectionName(std::string_view text, const TreeNode* node);

}  // namespace varnok
