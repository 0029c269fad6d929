#pragma once
// The editing operations on the connection tree, for the GUI and the vnk
// tool alike. They change the tree (observers see every change) and return
// what the caller does next: which node to focus and select, which to expand,
// and the texts of refusals and questions. The core never shows or asks
// anything. After any operation that changes the tree the caller marks the
// document modified and schedules the command refresh.
//
// Colours of new nodes: the caller passes the default colour set's string.
#include <string>
#include <string_view>
#include <vector>

#include "model/connection_tree.h"

namespace varnok {

// What an add or duplicate did: `added` is the new node; the caller clears the
// selection, expands `expand` (when set), then focuses and selects `focus`.
struct AddResult {
  TreeNode* added = nullptr;
  TreeNode* focus = nullptr;
  TreeNode* expand = nullptr;
};

// New first child of `focused` (not a separator; the top node qualifies),
// named by NewConnectionName. Below the top node it gets the default colours
// and logging on, deeper the parent's colours and logging. Focus stays.
AddResult AddChild(ConnectionTree& tree, TreeNode* focused, std::string_view defaultColors);
// The same, directly after `focused` (not the top node) under its parent.
AddResult AddSibling(ConnectionTree& tree, TreeNode* focused, std::string_view defaultColors);
// A separator line directly after `focused` (not the top node); it takes the focus.
AddResult AddSeparatorLine(ConnectionTree& tree, TreeNode* focused, std::string_view defaultColors);
// Copies `focused` (not the top node) with its subtree directly after it;
// the copy is named by NameArrivals, so a clash renames the copy, never the
// original or another sibling. A separator's copy and original both end up
// named as separators.
AddResult Duplicate(ConnectionTree& tree, TreeNode* focused);

// The fix-up after a node was moved, copied, dropped or pasted: levels are
// already true; returns the parent to expand and resolves sibling names below
// it (ResolveSiblingNames). Nothing for a node without a parent.
struct AfterMoveResult {
  TreeNode* expand = nullptr;
  int renamed = 0;
};
AfterMoveResult AfterMoveOrCopy(ConnectionTree& tree, TreeNode* node);

// Move among siblings, with the fix-up. `stillMovable` tells whether the node
// again has a previous (MoveUp) or next (MoveDown) sibling.
struct MoveResult {
  bool moved = false;
  bool stillMovable = false;
};
MoveResult MoveUp(ConnectionTree& tree, TreeNode* node);
MoveResult MoveDown(ConnectionTree& tree, TreeNode* node);

// Drag and drop inside the tree.
enum class DropMark { Above, On, Below, Nowhere };
bool CanDrag(const TreeNode* node);  // anything but the top node
// A drop target is accepted when there is one, it is not the current node and not a separator.
bool CanDropOn(const TreeNode* target, const TreeNode* current);
// Moves (or copies) `nodes` to the place the mark gives: before the target,
// as its last child (after it when it is a separator), or after it. Nodes
// keep their tree order; a node inside another dropped node's subtree goes
// along with it. Refused (empty result) for the top node, for a place above
// or below the top node (the tree keeps its single top node) and for a
// place inside a dropped node's own subtree. Moved nodes get the fix-up of
// AfterMoveOrCopy; copies are named by NameArrivals (the nodes already there
// keep their names). Returns the placed nodes in their new order.
std::vector<TreeNode*> DropNodes(ConnectionTree& tree, const std::vector<TreeNode*>& nodes, TreeNode* target,
                                 DropMark mark, bool copy);

// Pasting. `PasteNodes` inserts detached copies (from the clipboard) as the
// first children of `target`, in their order; `MoveNodesInto` moves nodes
// that were cut there instead (refused, empty, for the top node or a target
// inside a moved node's subtree). Pasting onto a separator puts the nodes
// directly after it. Both name the pasted nodes by NameArrivals (the nodes
// already there keep their names) and return them in their new order.
std::vector<TreeNode*> PasteNodes(ConnectionTree& tree, TreeNode* target,
                                  std::vector<std::unique_ptr<TreeNode>> nodes);
// Where nodes pasted onto `target` go: the parent and the first row.
struct PastePlace {
  TreeNode* parent;
  int row;
};
PastePlace PastePlaceFor(TreeNode* target);
std::vector<TreeNode*> MoveNodesInto(ConnectionTree& tree, const std::vector<TreeNode*>& nodes,
                                     TreeNode* target);
// The given nodes without the top node, duplicates and nodes inside another
// given node's subtree, in tree order: what a copy, cut or drop carries.
std::vector<TreeNode*> OutermostNodes(const ConnectionTree& tree, const std::vector<TreeNode*>& nodes);

// Deleting. `selected` may come in any order and may hold the top node,
// which is never deleted; descendants of selected nodes go with them.
struct DeleteQuestion {
  enum class Kind { None, Confirmation, Warning };
  Kind kind = Kind::None;
  std::string text;                  // Yes/No question when kind != None
  bool deleteWithoutAsking = false;  // the answer when kind == None
  bool defaultNo = false;            // No is the default button (DeleteDefaultsToNo)
};
DeleteQuestion ConfirmDelete(const ConnectionTree& tree, const std::vector<TreeNode*>& selected);
// A delete of more than one node, or of a connection with a macro, asks with
// No as the default button: Enter alone must not lose that much.
bool DeleteDefaultsToNo(const std::vector<TreeNode*>& selected);
// Asked instead when the pages hold unapplied edits (warning, Yes/No).
std::string DiscardEditsQuestion(const TreeNode* current);
// Deletes the nodes with their subtrees; returns how many nodes went.
int DeleteNodes(ConnectionTree& tree, const std::vector<TreeNode*>& selected);

// In-place naming: PlanRename decides, the caller shows the message or asks
// the question, then calls ConvertToSeparator or ApplyName.
enum class RenameStep {
  Unchanged,   // the text names the node as it is already named: nothing to do
  Refuse,      // warning `message` (none for the top node); nothing changes, pages not reloaded
  Reject,      // warning `message`; the name stays; pages reloaded, document marked modified
  AskConvert,  // warning Yes/No `message`; on Yes ConvertToSeparator
  Rename,      // ApplyName
};
struct RenamePlan {
  RenameStep step = RenameStep::Rename;
  std::string message;
};
RenamePlan PlanRename(const TreeNode* node, std::string_view text);
// Name "----- separator line -----", NodeType 3, no macro, popup text,
// logging or schedule (the question says all associated data goes).
void ConvertToSeparator(ConnectionTree& tree, TreeNode* node);
// Name := trim(text). A separator becoming a connection gets an empty macro
// and popup text, logging on, and the default colours directly below the top
// node, else its parent's colours.
void ApplyName(ConnectionTree& tree, TreeNode* node, std::string_view text, std::string_view defaultColors);

// "Expand all" / "Collapse all": every node that has children, in tree order
// (the top node first). The GUI expands or collapses each of them.
std::vector<TreeNode*> NodesWithChildren(const ConnectionTree& tree);

}  // namespace varnok
