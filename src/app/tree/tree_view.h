#pragma once
// The tree view VT: a QTreeView that moves its own nodes by drag and drop.
// A drag carries the selected nodes; the drop mark (above, on or below the
// node under the mouse) and Ctrl (copy instead of move) decide what the drop
// does, and only drags that started in this view are taken. The view shows
// the drop indicator where CanDropSelection allows a drop and opens a closed
// node hovered for 300 ms; the drop itself is its owner's (`dropped`).
//
// Nodes at ConnectionTreeModel::kDeepestShownLevel stay closed, however they
// are opened (expandAll, a click, a key, a move that carries open branches
// deeper): QTreeView lays out open branches recursively, one stack frame per
// open level, and a chain some ten thousand levels deep would overflow the
// stack. A deeper node can still be the current one; scrolling to it shows
// its ancestor at that level.
#include <QBasicTimer>
#include <QPersistentModelIndex>
#include <QTreeView>

#include "model/tree_operations.h"

namespace varnok::app {

class ConnectionTreeModel;

class ConnectionTreeView : public QTreeView {
  Q_OBJECT
 public:
  explicit ConnectionTreeView(QWidget* parent = nullptr);

  // The drop mark and target for a point of the viewport, as a drop there would see them.
  DropMark markAt(const QPoint& pos, TreeNode** target) const;

  // Opens `index` (the top node when invalid) and every node below it down
  // to the deepest level the view opens, with one layout pass.
  void expandBranch(const QModelIndex& index = QModelIndex());
  // Collapses every node without reporting each: the view would ask every
  // node it collapses for its flags, and a collapsed node taking the focus
  // would expand its ancestors again, node by node.
  void collapseQuietly();
  // Lays out the rows now if a layout is pending. Unlike doItemsLayout, it
  // lays out once: doItemsLayout with a pending layout asks the header for
  // the column's width first, which lays out the whole tree within it.
  void layOutPending() { executeDelayedItemsLayout(); }
  // Scrolls to `index`, or to its ancestor at the deepest shown level.
  void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
  void setModel(QAbstractItemModel* model) override;

 signals:
  // The selected nodes were dropped at `mark` of `target`, copied with Ctrl.
  void dropped(TreeNode* target, DropMark mark, bool copy);

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dragLeaveEvent(QDragLeaveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void timerEvent(QTimerEvent* event) override;
  // "*" opens the branch as expandBranch does.
  void keyPressEvent(QKeyEvent* event) override;
  // The one column is at least as wide as the viewport, so that a selected
  // row is highlighted (and can be clicked) across the whole width.
  void updateGeometries() override;

 private:
  // Starts the wait for opening the node under the mouse, if it is closed.
  void hover(const QModelIndex& index);

  ConnectionTreeModel* nodeModel() const;
  // Closes `index` again, without telling anyone, when it lies at the
  // deepest shown level or below.
  void keepClosedWhenTooDeep(const QModelIndex& index);
  // `node` went `levels` deeper with its subtree: what was open there and
  // now lies too deep is closed.
  void closeMovedTooDeep(const TreeNode* node, int levels);
  bool fromThisView(const QDropEvent* event) const;
  bool accepts(QDropEvent* event, TreeNode** target, DropMark* mark) const;

  // The view's own expansion while dragging toggles the node under the mouse,
  // closing an open branch; this one only opens.
  QBasicTimer expandTimer_;
  QPersistentModelIndex hovered_;
};

}  // namespace varnok::app
