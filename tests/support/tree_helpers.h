#pragma once
// Building and checking connection trees in tests.
#include <string>

#include "model/connection_tree.h"

namespace varnok::test {

// Appends a connection (or separator, for a name beginning with "-") as last child.
TreeNode* Add(ConnectionTree& tree, TreeNode* parent, const std::string& name);

// The tree's shape and names, one node per line in pre-order, indented by two
// blanks per level below the top node: "a\n  b\nc\n".
std::string Outline(const ConnectionTree& tree);

// Checks every invariant the tree promises: parents, rows, subtree sizes,
// Level equal to the depth. Returns "" or a description of the first fault.
std::string CheckInvariants(const ConnectionTree& tree);

// Appends one chain n1 .. n<depth> below the top node, each connection with
// the macro "sendln <level>"; the deepest gets `deepestSchedule`.
void AppendChain(ConnectionTree& tree, int depth, const std::string& deepestSchedule = "");

// A record with every field filled (Level 0), named `name`.
rVTNodeData Full(const std::string& name);

}  // namespace varnok::test
