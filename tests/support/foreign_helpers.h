#pragma once
// Looking at what an import from another tool produced.
#include <string>
#include <vector>

#include "files/foreign_import.h"
#include "model/connection_tree.h"

namespace varnok::test {

// The imported forest appended to `tree` (AppendImported); returns Outline(tree).
std::string AppendAndOutline(ConnectionTree& tree, ForeignImport& found);
// The node at a path of names below the top node ("bastion/db"); nullptr when missing.
const TreeNode* NodeAtPath(const ConnectionTree& tree, const std::string& path);
// The decoded macro and popup note of a node.
std::string MacroOf(const TreeNode* node);
std::string PopupOf(const TreeNode* node);
// The notes as NoteText lines, joined by "\n".
std::string NotesText(const ForeignImport& found);

}  // namespace varnok::test
