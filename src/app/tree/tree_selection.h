#pragma once
// Reading and setting the tree view's focus and selection in terms of nodes.
#include <vector>

#include "model/tree_history.h"
#include "model/tree_operations.h"

class QItemSelection;
class QTreeView;

namespace varnok {
class TreeNode;
}

namespace varnok::app {

class ConnectionTreeModel;

class TreeSelection {
 public:
  TreeSelection(QTreeView& view, ConnectionTreeModel& model) : view_(view), model_(model) {}

  // The node with the tree's focus (its current index), or null.
  TreeNode* focused() const;
  int selectedCount() const;
  bool isSelected(const TreeNode* node) const;
  // Focuses and selects one node (clearing the selection), as a click would;
  // its ancestors are expanded and it is scrolled into view.
  void select(TreeNode* node) const;
  std::vector<TreeNode*> selectedNodes() const;
  // The focus and selection, to keep with an undoable step and put back.
  TreeViewState state() const;
  void restore(const TreeViewState& state) const;
  // Makes `selection` the whole selection at once. The view learns of it by
  // one repaint rather than range by range (which costs a search of the
  // shown rows per range); the caller requests the command refresh.
  void replaceSelection(const QItemSelection& selection) const;

 private:
  QTreeView& view_;
  ConnectionTreeModel& model_;
};

// Whether the selected nodes may be dropped at `mark` of `target`: never into
// their own branches, and only below the single top node.
bool CanDropSelection(const TreeSelection& selection, const TreeNode* target, DropMark mark);

}  // namespace varnok::app
