#include "tree/tree_selection.h"

#include <QItemSelectionModel>
#include <QSignalBlocker>
#include <QTreeView>

#include "tree/tree_model.h"

namespace varnok::app {

TreeNode* TreeSelection::focused() const { return model_.node(view_.currentIndex()); }

int TreeSelection::selectedCount() const {
  int count = 0;
  for (const QItemSelectionRange& range : view_.selectionModel()->selection()) count += range.height();
  return count;
}

bool TreeSelection::isSelected(const TreeNode* node) const {
  return node && view_.selectionModel()->isSelected(model_.indexOf(node));
}

std::vector<TreeNode*> TreeSelection::selectedNodes() const {
  std::vector<TreeNode*> nodes;
  for (const QModelIndex& index : view_.selectionModel()->selectedIndexes())
    if (TreeNode* node = model_.node(index)) nodes.push_back(node);
  return nodes;
}

TreeViewState TreeSelection::state() const { return {focused(), selectedNodes()}; }

void TreeSelection::restore(const TreeViewState& state) const {
  if (!state.focus) return;
  select(state.focus);
  // Consecutive siblings make one range: a range per node would cost every
  // later insert or remove a pass over two kept indexes per node.
  QItemSelection selection;
  const TreeNode* first = nullptr;
  const TreeNode* last = nullptr;
  auto close = [&] {
    if (first) selection.append(QItemSelectionRange(model_.indexOf(first), model_.indexOf(last)));
  };
  for (const TreeNode* node : state.selected) {
    if (first && node->parent() && node->parent() == last->parent() && node->row() == last->row() + 1) {
      last = node;
      continue;
    }
    close();
    first = last = node;
  }
  close();
  replaceSelection(selection);
}

void TreeSelection::replaceSelection(const QItemSelection& selection) const {
  {
    const QSignalBlocker quiet(view_.selectionModel());
    view_.selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
  }
  view_.viewport()->update();
}

void TreeSelection::select(TreeNode* node) const {
  const QModelIndex index = model_.indexOf(node);
  // Ancestors the view keeps closed are left so; it then shows the one at
  // the deepest shown level in place of the node.
  for (const TreeNode* p = node ? node->parent() : nullptr; p; p = p->parent())
    if (ConnectionTreeModel::opensAt(p)) view_.expand(model_.indexOf(p));
  view_.selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
  view_.scrollTo(index);
}

bool CanDropSelection(const TreeSelection& selection, const TreeNode* target, DropMark mark) {
  if (!CanDropOn(target, selection.focused())) return false;
  if (!target->parent() && mark != DropMark::On) return false;
  for (const TreeNode* n : selection.selectedNodes())
    if (n->parent() && (n == target || n->isAncestorOf(target))) return false;
  return true;
}

}  // namespace varnok::app
