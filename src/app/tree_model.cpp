#include "tree_model.h"

namespace varnok::app {

ConnectionTreeModel::ConnectionTreeModel(ConnectionTree& tree, std::string computerName, QObject* parent)
    : QAbstractItemModel(parent), tree_(tree) {
  topText_ =
      QStringLiteral("This computer (") + QString::fromLocal8Bit(computerName.c_str()) + QStringLiteral(")");
  static const char* const files[7] = {"tree0_computer",     "tree1_device",     "tree2_device_macro",
                                       "tree3_separator",    "tree4_device_cut", "tree5_device_macro_cut",
                                       "tree6_separator_cut"};
  for (std::size_t i = 0; i < icons_.size(); ++i)
    icons_[i] = QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(files[i])));
  tree_.addObserver(this);
}

ConnectionTreeModel::~ConnectionTreeModel() { tree_.removeObserver(this); }

TreeNode* ConnectionTreeModel::node(const QModelIndex& index) const {
  return index.isValid() ? static_cast<TreeNode*>(index.internalPointer()) : nullptr;
}

QModelIndex ConnectionTreeModel::indexOf(const TreeNode* n) const {
  if (!n) return {};
  return createIndex(n->parent() ? n->row() : 0, 0, const_cast<TreeNode*>(n));
}

QString ConnectionTreeModel::text(const TreeNode* n) const {
  if (!n->parent()) return topText_;
  return QString::fromLocal8Bit(n->name().data(), static_cast<qsizetype>(n->name().size()));
}

int ConnectionTreeModel::imageIndex(const TreeNode* n, bool cut) {
  if (!n->parent()) return TopNode;
  int image = n->isSeparator() ? Separator : n->data().Macro.empty() ? Connection : ConnectionWithMacro;
  return cut ? image + CutOffset : image;
}

QModelIndex ConnectionTreeModel::index(int row, int column, const QModelIndex& parent) const {
  if (column != 0 || row < 0) return {};
  if (!parent.isValid()) return row == 0 ? createIndex(0, 0, tree_.top()) : QModelIndex();
  TreeNode* p = node(parent);
  if (row >= p->childCount()) return {};
  return createIndex(row, 0, p->child(row));
}

QModelIndex ConnectionTreeModel::parent(const QModelIndex& child) const {
  TreeNode* n = node(child);
  if (!n || !n->parent()) return {};
  return indexOf(n->parent());
}

int ConnectionTreeModel::rowCount(const QModelIndex& parent) const {
  if (!parent.isValid()) return 1;
  if (parent.column() != 0) return 0;
  return node(parent)->childCount();
}

int ConnectionTreeModel::columnCount(const QModelIndex&) const { return 1; }

bool ConnectionTreeModel::hasChildren(const QModelIndex& parent) const {
  if (!parent.isValid()) return true;
  return parent.column() == 0 && node(parent)->hasChildren();
}

QVariant ConnectionTreeModel::data(const QModelIndex& index, int role) const {
  TreeNode* n = node(index);
  if (!n) return {};
  switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
      return text(n);
    case Qt::DecorationRole: {
      const bool cut = n->parent() && cutMarked_ && cutMarked_(n);
      return icons_[static_cast<std::size_t>(imageIndex(n, cut))];
    }
    default:
      return {};
  }
}

Qt::ItemFlags ConnectionTreeModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  const TreeNode* n = node(index);
  // Every node but the top node is named in place.
  if (n && n->parent()) return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

void ConnectionTreeModel::nodesAboutToBeInserted(TreeNode* parent, int first, int last) {
  beginInsertRows(indexOf(parent), first, last);
}
void ConnectionTreeModel::nodesInserted(TreeNode*, int, int) { endInsertRows(); }
void ConnectionTreeModel::nodesAboutToBeRemoved(TreeNode* parent, int first, int last) {
  beginRemoveRows(indexOf(parent), first, last);
}
void ConnectionTreeModel::nodesRemoved(TreeNode*, int, int) { endRemoveRows(); }
void ConnectionTreeModel::nodeAboutToBeMoved(TreeNode* srcParent, int row, TreeNode* destParent,
                                             int destRow) {
  beginMoveRows(indexOf(srcParent), row, row, indexOf(destParent), destRow);
}
void ConnectionTreeModel::nodeMoved(TreeNode*, int, TreeNode*, int) { endMoveRows(); }
void ConnectionTreeModel::nodeDataChanged(TreeNode* n) {
  const QModelIndex i = indexOf(n);
  emit dataChanged(i, i);
}
void ConnectionTreeModel::treeAboutToBeReset() { beginResetModel(); }
void ConnectionTreeModel::treeReset() { endResetModel(); }

}  // namespace varnok::app
