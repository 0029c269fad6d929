#pragma once
// The tree's in-place name editor. Enter, or any end of editing but Esc,
// reports the text (`renamed`) once the editor has closed (so that a question
// about the new name never interrupts the editor itself).
#include <QStyledItemDelegate>
#include <string>

namespace varnok {
class TreeNode;
}

namespace varnok::app {

class ConnectionTreeModel;

class NameDelegate : public QStyledItemDelegate {
  Q_OBJECT
 public:
  explicit NameDelegate(ConnectionTreeModel& model, QObject* parent = nullptr);

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override;
  void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
  // While the find filter is set, the matched parts of the names are marked.
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

 signals:
  // An editor opened on `node`.
  void editorOpened(const TreeNode* node) const;
  void renamed(TreeNode* node, const std::string& text) const;

 private:
  ConnectionTreeModel& model_;
};

}  // namespace varnok::app
