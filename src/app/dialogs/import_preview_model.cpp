#include "dialogs/import_preview_model.h"

#include "common/stored_text.h"

namespace varnok::app {

ImportPreviewModel::ImportPreviewModel(const std::vector<std::unique_ptr<TreeNode>>& roots, QObject* parent)
    : QAbstractItemModel(parent), roots_(roots) {
  for (std::size_t i = 0; i < roots.size(); ++i) {
    rootRow_.emplace(roots[i].get(), static_cast<int>(i));
    total_ += roots[i]->subtreeSize();
  }
}

QModelIndex ImportPreviewModel::index(int row, int column, const QModelIndex& parent) const {
  if (row < 0 || column != 0) return {};
  if (!parent.isValid()) {
    if (row >= static_cast<int>(roots_.size())) return {};
    return createIndex(row, column, roots_[static_cast<std::size_t>(row)].get());
  }
  const auto* node = static_cast<const TreeNode*>(parent.internalPointer());
  if (row >= node->childCount()) return {};
  return createIndex(row, column, node->child(row));
}

QModelIndex ImportPreviewModel::indexOf(const TreeNode* node) const {
  if (!node) return {};
  auto root = rootRow_.find(node);
  return createIndex(root != rootRow_.end() ? root->second : node->row(), 0, const_cast<TreeNode*>(node));
}

QModelIndex ImportPreviewModel::parent(const QModelIndex& child) const {
  if (!child.isValid()) return {};
  const auto* node = static_cast<const TreeNode*>(child.internalPointer());
  if (rootRow_.count(node)) return {};
  return indexOf(node->parent());
}

int ImportPreviewModel::rowCount(const QModelIndex& parent) const {
  if (!parent.isValid()) return static_cast<int>(roots_.size());
  if (parent.column() != 0) return 0;
  return static_cast<const TreeNode*>(parent.internalPointer())->childCount();
}

int ImportPreviewModel::columnCount(const QModelIndex&) const { return 1; }

QVariant ImportPreviewModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const auto* node = static_cast<const TreeNode*>(index.internalPointer());
  switch (role) {
    case Qt::DisplayRole:
      return QString::fromLocal8Bit(node->name().data(), static_cast<qsizetype>(node->name().size()));
    case Qt::CheckStateRole:
      return isChecked(node) ? Qt::Checked : Qt::Unchecked;
    case Qt::ToolTipRole:
      return QString::fromLocal8Bit(DecodeText(node->data().PopupText));
    default:
      return {};
  }
}

Qt::ItemFlags ImportPreviewModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable;
}

void ImportPreviewModel::announce(const TreeNode* node) {
  const QModelIndex i = indexOf(node);
  emit dataChanged(i, i, {Qt::CheckStateRole});
}

void ImportPreviewModel::setSubtree(const TreeNode* node, bool checked) {
  ConnectionTree::forEachPreOrder(node, [&](const TreeNode* n) {
    if (checked ? unchecked_.erase(n) > 0 : unchecked_.insert(n).second) announce(n);
  });
}

bool ImportPreviewModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || role != Qt::CheckStateRole) return false;
  const auto* node = static_cast<const TreeNode*>(index.internalPointer());
  const bool checked = value.toInt() == Qt::Checked;
  setSubtree(node, checked);
  if (checked) {
    // Its jump hosts come with it.
    for (const TreeNode* up = rootRow_.count(node) ? nullptr : node->parent(); up;
         up = rootRow_.count(up) ? nullptr : up->parent())
      if (unchecked_.erase(up) > 0) announce(up);
  }
  emit checksChanged();
  return true;
}

void ImportPreviewModel::setAllChecked(bool checked) {
  beginResetModel();
  unchecked_.clear();
  if (!checked)
    for (const auto& root : roots_)
      ConnectionTree::forEachPreOrder(root.get(), [&](const TreeNode* n) { unchecked_.insert(n); });
  endResetModel();
  emit checksChanged();
}

}  // namespace varnok::app
