#pragma once
// The tree's in-place name editor. Enter, or any end of editing but Esc,
// hands the text to `renamed` once the editor has closed (so that a question
// about the new name never interrupts the editor itself).
#include <QStyledItemDelegate>
#include <functional>
#include <string>

namespace varnok {
class TreeNode;
}

namespace varnok::app {

class ConnectionTreeModel;

class NameDelegate : public QStyledItemDelegate {
  Q_OBJECT
 public:
  using Renamed = std::function<void(TreeNode*, const std::string&)>;
  NameDelegate(ConnectionTreeModel& model, Renamed renamed, QObject* parent = nullptr);

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override;
  void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
  // While the find filter is set, the matched parts of the names are marked.
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

  // Runs when an editor opens on a node.
  std::function<void(const TreeNode*)> editorCreated;

 private:
  ConnectionTreeModel& model_;
  Renamed renamed_;
};

}  // namespace varnok::app
