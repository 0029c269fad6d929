#include "tree/tree_view.h"

#include <QDragMoveEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QSignalBlocker>
#include <vector>

#include "tree/tree_model.h"
#include "tree/tree_selection.h"

namespace varnok::app {

namespace {
constexpr int kMeasuredRowsAround = 100;
}

ConnectionTreeView::ConnectionTreeView(QWidget* parent) : QTreeView(parent) {
  setDragEnabled(true);
  setAcceptDrops(true);
  setDropIndicatorShown(true);
  setDragDropMode(QAbstractItemView::DragDrop);
  setDefaultDropAction(Qt::MoveAction);
  setAutoExpandDelay(-1);  // see hover()
  // A column sized to its contents measures the names of the rows in view
  // and of this many more around them, each a text layout, on every layout
  // of the tree: a keystroke in the find filter lays it out more than once.
  header()->setResizeContentsPrecision(kMeasuredRowsAround);
  connect(this, &QTreeView::expanded, this, &ConnectionTreeView::keepClosedWhenTooDeep);
}

void ConnectionTreeView::setModel(QAbstractItemModel* model) {
  QTreeView::setModel(model);
  if (ConnectionTreeModel* m = nodeModel())
    connect(m, &ConnectionTreeModel::nodeMovedDeeper, this, &ConnectionTreeView::closeMovedTooDeep);
}

void ConnectionTreeView::keepClosedWhenTooDeep(const QModelIndex& index) {
  const TreeNode* node = nodeModel() ? nodeModel()->node(index) : nullptr;
  if (!node || ConnectionTreeModel::opensAt(node)) return;
  // Laid out one level only, and closed at once; the owner never hears of it.
  const QSignalBlocker quiet(this);
  collapse(index);
}

void ConnectionTreeView::closeMovedTooDeep(const TreeNode* node, int levels) {
  // Only nodes that came from above the deepest shown level can be open;
  // those now lie less than `levels` below it.
  constexpr int deepest = ConnectionTreeModel::kDeepestShownLevel;
  if (node->data().Level >= deepest + levels) return;
  const QSignalBlocker quiet(this);
  std::vector<const TreeNode*> pending{node};
  while (!pending.empty()) {
    const TreeNode* n = pending.back();
    pending.pop_back();
    const int level = n->data().Level;
    if (level >= deepest) {
      const QModelIndex index = nodeModel()->indexOf(n);
      if (isExpanded(index)) collapse(index);
    }
    if (level + 1 < deepest + levels)
      for (int row = 0; row < n->childCount(); ++row) pending.push_back(n->child(row));
  }
}

void ConnectionTreeView::collapseQuietly() {
  const QSignalBlocker noReports(this);
  collapseAll();
}

void ConnectionTreeView::expandBranch(const QModelIndex& index) {
  ConnectionTreeModel* m = nodeModel();
  if (!m) return;
  const QModelIndex from = index.isValid() ? index : m->indexOf(m->tree().top());
  const TreeNode* node = m->node(from);
  if (!ConnectionTreeModel::opensAt(node)) return;
  // Depth counts from `from`: 0 opens `from` alone. Nobody hears of each
  // node (as with expandAll): nothing opens too deep here.
  const QSignalBlocker quiet(this);
  // The whole tree with no node too deep to open: one layout pass opens
  // what has children as it goes, where opening row by row would keep an
  // index for every row, leaves included.
  if (!node->parent() && !m->reachesBelow(ConnectionTreeModel::kDeepestShownLevel)) {
    expandAll();
    return;
  }
  expandRecursively(from, ConnectionTreeModel::kDeepestShownLevel - 1 - node->data().Level);
}

void ConnectionTreeView::scrollTo(const QModelIndex& index, ScrollHint hint) {
  QModelIndex shown = index;
  if (const ConnectionTreeModel* m = nodeModel()) {
    const TreeNode* node = m->node(index);
    if (node && node->data().Level > ConnectionTreeModel::kDeepestShownLevel) {
      while (node->data().Level > ConnectionTreeModel::kDeepestShownLevel) node = node->parent();
      shown = m->indexOf(node);
    }
  }
  QTreeView::scrollTo(shown, hint);
  // Rows indented past the view make the column wider than it, and the
  // base class then scrolls to the column's left edge, where a deep row
  // shows nothing. Its start is brought into view instead.
  const QRect rect = visualRect(shown);
  if (rect.isValid() && (rect.left() < 0 || rect.left() >= viewport()->width() - indentation()))
    horizontalScrollBar()->setValue(horizontalScrollBar()->value() + rect.left() - indentation());
}

void ConnectionTreeView::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Asterisk && currentIndex().isValid()) {
    expandBranch(currentIndex());
    event->accept();
    return;
  }
  QTreeView::keyPressEvent(event);
}

namespace {
constexpr int kExpandDelayMs = 300;
}

ConnectionTreeModel* ConnectionTreeView::nodeModel() const {
  return qobject_cast<ConnectionTreeModel*>(model());
}

bool ConnectionTreeView::fromThisView(const QDropEvent* event) const {
  const QMimeData* mime = event->mimeData();
  const ConnectionTreeModel* m = nodeModel();
  return mime && m && m->isOwnDrag(*mime);
}

DropMark ConnectionTreeView::markAt(const QPoint& pos, TreeNode** target) const {
  const QModelIndex index = indexAt(pos);
  *target = nodeModel() ? nodeModel()->node(index) : nullptr;
  if (!*target) return DropMark::Nowhere;
  // The upper and lower quarter of a row place beside the node, the rest on it.
  const QRect rect = visualRect(index);
  const int margin = std::max(2, rect.height() / 4);
  if (pos.y() < rect.top() + margin) return DropMark::Above;
  if (pos.y() >= rect.bottom() - margin) return DropMark::Below;
  return DropMark::On;
}

bool ConnectionTreeView::accepts(QDropEvent* event, TreeNode** target, DropMark* mark) const {
  if (!fromThisView(event)) return false;
  *mark = markAt(event->position().toPoint(), target);
  return *mark != DropMark::Nowhere &&
         CanDropSelection(TreeSelection(const_cast<ConnectionTreeView&>(*this), *nodeModel()), *target,
                          *mark);
}

void ConnectionTreeView::dragEnterEvent(QDragEnterEvent* event) {
  if (!fromThisView(event)) {
    event->ignore();
    return;
  }
  QTreeView::dragEnterEvent(event);
}

void ConnectionTreeView::dragMoveEvent(QDragMoveEvent* event) {
  // The base class scrolls, expands after the delay and places the indicator;
  // whether the drop is allowed is decided here.
  QTreeView::dragMoveEvent(event);
  hover(indexAt(event->position().toPoint()));
  TreeNode* target = nullptr;
  DropMark mark = DropMark::Nowhere;
  const bool ok = accepts(event, &target, &mark);
  setDropIndicatorShown(ok);
  if (ok) {
    event->setDropAction(event->modifiers() & Qt::ControlModifier ? Qt::CopyAction : Qt::MoveAction);
    event->accept();
  } else {
    event->ignore();
  }
  viewport()->update();
}

void ConnectionTreeView::hover(const QModelIndex& index) {
  if (index == hovered_) return;
  hovered_ = index;
  expandTimer_.stop();
  if (index.isValid() && !isExpanded(index) && model()->hasChildren(index))
    expandTimer_.start(kExpandDelayMs, this);
}

void ConnectionTreeView::timerEvent(QTimerEvent* event) {
  if (event->timerId() != expandTimer_.timerId()) {
    QTreeView::timerEvent(event);
    return;
  }
  expandTimer_.stop();
  if (state() == DraggingState && hovered_.isValid() && !isExpanded(hovered_)) expand(hovered_);
}

void ConnectionTreeView::updateGeometries() {
  const int room = viewport()->width();
  if (header()->minimumSectionSize() != room) header()->setMinimumSectionSize(room);
  QTreeView::updateGeometries();
}

void ConnectionTreeView::dragLeaveEvent(QDragLeaveEvent* event) {
  expandTimer_.stop();
  hovered_ = QPersistentModelIndex();
  QTreeView::dragLeaveEvent(event);
}

void ConnectionTreeView::dropEvent(QDropEvent* event) {
  expandTimer_.stop();
  hovered_ = QPersistentModelIndex();
  TreeNode* target = nullptr;
  DropMark mark = DropMark::Nowhere;
  setDropIndicatorShown(true);
  if (!accepts(event, &target, &mark)) {
    event->ignore();
    return;
  }
  const bool copy = event->modifiers() & Qt::ControlModifier;
  emit dropped(target, mark, copy);
  // Reported as a copy: the tree has placed the nodes itself, and the view
  // must not remove the dragged rows as it does after a move.
  event->setDropAction(Qt::CopyAction);
  event->accept();
  setState(NoState);
  viewport()->update();
}

}  // namespace varnok::app
