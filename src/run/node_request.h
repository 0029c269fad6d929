#pragma once
// The request to run or export a connection of the tree as stored: its
// ancestors' macros (for a branch), its own stored macro, its logging flag and
// its colours. The window then puts in what its pages hold instead (the
// editor's text when it has unapplied edits or for "to cursor", the logging
// check box, the live colours) and the user variables of its settings page.
#include "model/connection_tree.h"
#include "run/execute_macro.h"

namespace varnok::run {

// The ancestors of `node` below the top node, the child of the top node first.
std::vector<const TreeNode*> AncestorsRootFirst(const TreeNode* node);

// `node` must be a connection (not the top node, not a separator). An invalid
// stored colour string gives the default colours of `programDir`.
MacroRequest RequestForNode(const TreeNode* node, bool branch, const std::string& programDir);

}  // namespace varnok::run
