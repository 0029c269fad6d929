#pragma once
// The tree view VT: a QTreeView that moves its own nodes by drag and drop.
// A drag carries the selected nodes; the drop mark (above, on or below the
// node under the mouse) and Ctrl (copy instead of move) decide what the drop
// does, and only drags that started in this view are taken. The view shows
// the drop indicator and opens a closed node hovered for 300 ms; the decisions
// are its owner's (`canDrop`, `drop`).
#include <QBasicTimer>
#include <QPersistentModelIndex>
#include <QTreeView>
#include <functional>

#include "model/tree_operations.h"

namespace varnok::app {

class ConnectionTreeModel;

class ConnectionTreeView : public QTreeView {
  Q_OBJECT
 public:
  explicit ConnectionTreeView(QWidget* parent = nullptr);

  // Whether a drop at `mark` of `target` is allowed.
  std::function<bool(const TreeNode* target, DropMark mark)> canDrop;
  // Carries out the drop; the dragged nodes are the view's selection.
  std::function<void(TreeNode* target, DropMark mark, bool copy)> drop;

  // The drop mark and target for a point of the viewport, as a drop there would see them.
  DropMark markAt(const QPoint& pos, TreeNode** target) const;

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dragLeaveEvent(QDragLeaveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void timerEvent(QTimerEvent* event) override;
  // The one column is at least as wide as the viewport, so that a selected
  // row is highlighted (and can be clicked) across the whole width.
  void updateGeometries() override;

 private:
  // Starts the wait for opening the node under the mouse, if it is closed.
  void hover(const QModelIndex& index);

  ConnectionTreeModel* nodeModel() const;
  bool fromThisView(const QDropEvent* event) const;
  bool accepts(QDropEvent* event, TreeNode** target, DropMark* mark) const;

  // The view's own expansion while dragging toggles the node under the mouse,
  // closing an open branch; this one only opens.
  QBasicTimer expandTimer_;
  QPersistentModelIndex hovered_;
};

}  // namespace varnok::app
