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

// The connections whose macros a branch run of `node` plays: of `node` and
// its ancestors below the top node, those whose stored macro holds a line
// that is not blank, the top-most first, as a path of names (ConnectionPath's
// form). Empty when none of them has a macro.
std::string MacroSourcePath(const TreeNode* node);

// `node` must be a connection (not the top node, not a separator). An invalid
// stored colour string gives the default colours of `emulatorDir`.
MacroRequest RequestForNode(const TreeNode* node, bool branch, const std::string& emulatorDir);

}  // namespace varnok::run
