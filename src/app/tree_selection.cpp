#include "tree_selection.h"

#include <QItemSelectionModel>
#include <QTreeView>

#include "tree_model.h"

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

void TreeSelection::select(TreeNode* node) const {
  const QModelIndex index = model_.indexOf(node);
  for (QModelIndex p = index.parent(); p.isValid(); p = p.parent()) view_.expand(p);
  view_.selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
  view_.scrollTo(index);
}

}  // namespace varnok::app
