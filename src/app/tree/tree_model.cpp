#include "tree/tree_model.h"

#include <QColor>
#include <QCoreApplication>
#include <QMimeData>
#include <QTimer>
#include <algorithm>

#include "files/node_transfer.h"
#include "model/tree_operations.h"
#include "tree/tree_clipboard.h"

namespace varnok::app {

namespace {

// An index carries its node's address with the higher bits folded into the
// lower ones. Qt hashes an index by row and this number as they are, and
// keeps the view's open rows and every kept index in tables placed by its
// lowest bits: node addresses a record apart share those bits, and the
// tables then crowd into a sixteenth of their slots.
constexpr int kFoldShift = 7;

quintptr IdOf(const TreeNode* node) {
  const auto address = reinterpret_cast<quintptr>(node);
  return address ^ (address >> kFoldShift);
}

TreeNode* NodeOfId(quintptr id) {
  quintptr address = id;
  for (int shift = kFoldShift; shift < static_cast<int>(sizeof(quintptr) * 8); shift += kFoldShift)
    address ^= id >> shift;
  return reinterpret_cast<TreeNode*>(address);
}

}  // namespace

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
  if (!index.isValid()) return nullptr;
  if (filtered_) return const_cast<TreeNode*>(filter_.shown[static_cast<std::size_t>(index.internalId())]);
  return NodeOfId(index.internalId());
}

QModelIndex ConnectionTreeModel::indexOf(const TreeNode* n) const {
  if (!n) return {};
  if (filtered_) return entryIndex(filter_.entryOf(n));
  return createIndex(n->parent() ? n->row() : 0, 0, IdOf(n));
}

QModelIndex ConnectionTreeModel::entryIndex(int entry) const {
  if (entry < 0) return {};
  return createIndex(filter_.row[static_cast<std::size_t>(entry)], 0, static_cast<quintptr>(entry));
}

void ConnectionTreeModel::setFilter(FindQuery query, FindResult result) {
  flushChangedRows();
  resetKeepsNodes_ = true;
  beginResetModel();
  filtered_ = true;
  filterQuery_ = std::move(query);
  filter_ = std::move(result);
  endResetModel();
  resetKeepsNodes_ = false;
}

void ConnectionTreeModel::clearFilter() {
  if (!filtered_) return;
  resetKeepsNodes_ = true;
  beginResetModel();
  filtered_ = false;
  filterQuery_ = {};
  filter_ = {};
  endResetModel();
  resetKeepsNodes_ = false;
}

bool ConnectionTreeModel::isMatch(const TreeNode* n) const {
  const int entry = filtered_ ? filter_.entryOf(n) : -1;
  return entry >= 0 && filter_.matched[static_cast<std::size_t>(entry)] != 0;
}

bool ConnectionTreeModel::filteredChangeBegins(bool keepsNodes) {
  if (!filtered_) return false;
  if (!filterResetting_) {
    filterResetting_ = true;
    resetKeepsNodes_ = keepsNodes;
    beginResetModel();
    resetKeepsNodes_ = false;
  }
  return true;
}

bool ConnectionTreeModel::filteredChangeEnds() {
  if (!filtered_) return false;
  filter_ = SearchTree(tree_, filterQuery_);
  if (filterResetting_) {
    filterResetting_ = false;
    endResetModel();
  }
  emit filterRefreshed();
  return true;
}

QString ConnectionTreeModel::text(const TreeNode* n) const {
  if (!n->parent()) return topText_;
  return QString::fromLocal8Bit(n->name().data(), static_cast<qsizetype>(n->name().size()));
}

QString ConnectionTreeModel::shownText(const TreeNode* n) const {
  if (n->data().Level != kDeepestShownLevel || !n->hasChildren()) return text(n);
  return text(n) + QStringLiteral("  \u2026 deeper levels not shown: %1").arg(n->subtreeSize() - 1);
}

bool ConnectionTreeModel::opensAt(const TreeNode* n) { return n->data().Level < kDeepestShownLevel; }

void ConnectionTreeModel::deepNoteChanged(const TreeNode* parent) {
  if (!parent || parent->data().Level < kDeepestShownLevel) return;
  while (parent->data().Level > kDeepestShownLevel) parent = parent->parent();
  const QModelIndex i = indexOf(parent);
  emit dataChanged(i, i, {Qt::DisplayRole});
}

int ConnectionTreeModel::imageIndex(const TreeNode* n, bool cut) {
  if (!n->parent()) return TopNode;
  int image = n->isSeparator() ? Separator : n->data().Macro.empty() ? Connection : ConnectionWithMacro;
  return cut ? image + CutOffset : image;
}

QModelIndex ConnectionTreeModel::index(int row, int column, const QModelIndex& parent) const {
  if (column != 0 || row < 0) return {};
  if (filtered_) {
    if (!parent.isValid()) return row == 0 ? entryIndex(0) : QModelIndex();
    const int entry = static_cast<int>(parent.internalId());
    return row < filter_.childCount(entry) ? entryIndex(filter_.child(entry, row)) : QModelIndex();
  }
  if (!parent.isValid()) return row == 0 ? createIndex(0, 0, IdOf(tree_.top())) : QModelIndex();
  TreeNode* p = node(parent);
  if (row >= p->childCount()) return {};
  return createIndex(row, 0, IdOf(p->child(row)));
}

QModelIndex ConnectionTreeModel::parent(const QModelIndex& child) const {
  if (filtered_)
    return child.isValid() ? entryIndex(filter_.parent[static_cast<std::size_t>(child.internalId())])
                           : QModelIndex();
  TreeNode* n = node(child);
  if (!n || !n->parent()) return {};
  return indexOf(n->parent());
}

int ConnectionTreeModel::rowCount(const QModelIndex& parent) const {
  if (!parent.isValid()) return 1;
  if (parent.column() != 0) return 0;
  if (filtered_) return filter_.childCount(static_cast<int>(parent.internalId()));
  return node(parent)->childCount();
}

int ConnectionTreeModel::columnCount(const QModelIndex&) const { return 1; }

bool ConnectionTreeModel::hasChildren(const QModelIndex& parent) const {
  if (!parent.isValid()) return true;
  if (filtered_) return parent.column() == 0 && filter_.childCount(static_cast<int>(parent.internalId())) > 0;
  return parent.column() == 0 && node(parent)->hasChildren();
}

QVariant ConnectionTreeModel::data(const QModelIndex& index, int role) const {
  TreeNode* n = node(index);
  if (!n) return {};
  switch (role) {
    case Qt::DisplayRole:
      return shownText(n);
    case Qt::EditRole:
      return text(n);
    case Qt::DecorationRole: {
      const bool cut = n->parent() && cutMarked_ && cutMarked_(n);
      return icons_[static_cast<std::size_t>(imageIndex(n, cut))];
    }
    case Qt::ForegroundRole:
      // While filtered, a branch shown only for the matches below it is greyed.
      if (filtered_ && n->parent() && filter_.matched[static_cast<std::size_t>(index.internalId())] == 0)
        return QColor(Qt::gray);
      return {};
    default:
      return {};
  }
}

Qt::ItemFlags ConnectionTreeModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  // The view asks every row it lays out. A row without children says so:
  // the view then keeps no index for it when it opens the whole tree.
  // While filtered nothing is dragged or dropped: the tree's structure stays.
  if (filtered_) {
    const int entry = static_cast<int>(index.internalId());
    Qt::ItemFlags shown = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (entry != 0) shown |= Qt::ItemIsEditable;
    if (filter_.childCount(entry) == 0) shown |= Qt::ItemNeverHasChildren;
    return shown;
  }
  // Every node but the top node is named in place and dragged; drops go
  // beside or onto any node (the view decides which).
  const TreeNode* n = node(index);
  Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDropEnabled;
  if (n != tree_.top()) flags |= Qt::ItemIsEditable | Qt::ItemIsDragEnabled;
  if (!n->hasChildren()) flags |= Qt::ItemNeverHasChildren;
  return flags;
}

bool ConnectionTreeModel::reachesBelow(int level) const {
  if (filtered_) {
    // Every shown node's ancestors are shown: its depth in the result is its level.
    std::vector<int> depth(filter_.shown.size(), 0);
    for (std::size_t e = 1; e < depth.size(); ++e) {
      depth[e] = depth[static_cast<std::size_t>(filter_.parent[e])] + 1;
      if (depth[e] > level) return true;
    }
    return false;
  }
  // A branch of s nodes reaches at most s - 1 levels below its root: small
  // branches are passed over unread.
  std::vector<const TreeNode*> pending{tree_.top()};
  while (!pending.empty()) {
    const TreeNode* n = pending.back();
    pending.pop_back();
    if (n->level() > level) return true;
    if (n->level() + n->subtreeSize() - 1 <= level) continue;
    for (int row = 0; row < n->childCount(); ++row) pending.push_back(n->child(row));
  }
  return false;
}

namespace {

constexpr const char* kDragSourceFormat = "application/x-varnok-tree-drag";

}  // namespace

QStringList ConnectionTreeModel::mimeTypes() const { return {QString::fromLatin1(kNodeClipboardFormat)}; }

QMimeData* ConnectionTreeModel::mimeData(const QModelIndexList& indexes) const {
  std::vector<TreeNode*> nodes;
  for (const QModelIndex& index : indexes)
    if (TreeNode* n = node(index)) nodes.push_back(n);
  const std::string bytes = SerializeNodes(OutermostNodes(tree_, nodes));
  auto* mime = new QMimeData;
  mime->setData(QString::fromLatin1(kNodeClipboardFormat),
                QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
  mime->setData(QString::fromLatin1(kDragSourceFormat), dragMark());
  return mime;
}

QByteArray ConnectionTreeModel::dragMark() const {
  return QByteArray::number(QCoreApplication::applicationPid()) + ':' +
         QByteArray::number(reinterpret_cast<quintptr>(this));
}

bool ConnectionTreeModel::isOwnDrag(const QMimeData& mime) const {
  return mime.data(QString::fromLatin1(kDragSourceFormat)) == dragMark();
}

Qt::DropActions ConnectionTreeModel::supportedDragActions() const { return Qt::MoveAction | Qt::CopyAction; }

Qt::DropActions ConnectionTreeModel::supportedDropActions() const { return Qt::MoveAction | Qt::CopyAction; }

void ConnectionTreeModel::nodesAboutToBeInserted(TreeNode* parent, int first, int last) {
  flushChangedRows();
  if (filteredChangeBegins(true)) return;
  beginInsertRows(indexOf(parent), first, last);
}
void ConnectionTreeModel::nodesInserted(TreeNode* parent, int, int) {
  if (filteredChangeEnds()) return;
  endInsertRows();
  deepNoteChanged(parent);
}
void ConnectionTreeModel::nodesAboutToBeRemoved(TreeNode* parent, int first, int last) {
  flushChangedRows();
  if (filteredChangeBegins(false)) return;
  beginRemoveRows(indexOf(parent), first, last);
}
void ConnectionTreeModel::nodesRemoved(TreeNode* parent, int, int) {
  if (filteredChangeEnds()) return;
  endRemoveRows();
  deepNoteChanged(parent);
}
void ConnectionTreeModel::nodeAboutToBeMoved(TreeNode* srcParent, int row, TreeNode* destParent,
                                             int destRow) {
  flushChangedRows();
  if (filteredChangeBegins(true)) return;
  if (!rearranging_) beginMoveRows(indexOf(srcParent), row, row, indexOf(destParent), destRow);
}
void ConnectionTreeModel::nodeMoved(TreeNode* srcParent, int, TreeNode* destParent, int destRow) {
  if (filteredChangeEnds()) return;
  // Another parent: the node stands at destRow now.
  const int levels = destParent->data().Level - srcParent->data().Level;
  const TreeNode* moved = levels > 0 ? destParent->child(destRow) : nullptr;
  if (rearranging_) {
    if (moved) movedDeeper_.emplace_back(moved, levels);
    return;
  }
  endMoveRows();
  deepNoteChanged(srcParent);
  deepNoteChanged(destParent);
  if (moved) emit nodeMovedDeeper(moved, levels);
}
void ConnectionTreeModel::nodeDataChanged(TreeNode* n) {
  if (rearranging_ || filterResetting_) return;  // the layout change or reset repaints everything
  if (filtered_) {
    if (const QModelIndex i = indexOf(n); i.isValid()) emit dataChanged(i, i);
    return;
  }
  TreeNode* parent = n->parent();
  if (changedParent_ && changedParent_ == parent) {
    changedFirst_ = std::min(changedFirst_, n->row());
    changedLast_ = std::max(changedLast_, n->row());
    return;
  }
  flushChangedRows();
  if (!parent) {
    const QModelIndex i = indexOf(n);
    emit dataChanged(i, i);
    return;
  }
  changedParent_ = parent;
  changedFirst_ = changedLast_ = n->row();
  if (!flushQueued_) {
    flushQueued_ = true;
    QTimer::singleShot(0, this, [this] {
      flushQueued_ = false;
      flushChangedRows();
    });
  }
}

void ConnectionTreeModel::flushChangedRows() {
  if (!changedParent_) return;
  TreeNode* parent = changedParent_;
  changedParent_ = nullptr;
  const QModelIndex parentIndex = indexOf(parent);
  emit dataChanged(index(changedFirst_, 0, parentIndex), index(changedLast_, 0, parentIndex));
}
void ConnectionTreeModel::beginRearrangement() {
  if (rearranging_) return;
  flushChangedRows();
  if (filteredChangeBegins(true)) return;
  emit layoutAboutToBeChanged();
  heldIndexes_ = persistentIndexList();
  rearranging_ = true;
}

void ConnectionTreeModel::endRearrangement() {
  if (filterResetting_) {
    filteredChangeEnds();
    return;
  }
  if (!rearranging_) return;
  rearranging_ = false;
  // Every node is still in the tree: its index now follows from its new place.
  QModelIndexList now;
  now.reserve(heldIndexes_.size());
  for (const QModelIndex& held : heldIndexes_) now.append(indexOf(node(held)));
  changePersistentIndexList(heldIndexes_, now);
  heldIndexes_.clear();
  emit layoutChanged();
  // A node may have moved more than once, or with an ancestor moved too:
  // each is reported with every level gained in the rearrangement.
  std::vector<std::pair<const TreeNode*, int>> deeper;
  deeper.swap(movedDeeper_);
  int gained = 0;
  for (const auto& entry : deeper) gained += entry.second;
  for (const auto& entry : deeper) emit nodeMovedDeeper(entry.first, gained);
}

void ConnectionTreeModel::treeAboutToBeReset() {
  changedParent_ = nullptr;  // every node goes; the reset repaints everything
  if (filteredChangeBegins(false)) return;
  beginResetModel();
}
void ConnectionTreeModel::treeReset() {
  if (filteredChangeEnds()) return;
  endResetModel();
}

}  // namespace varnok::app
