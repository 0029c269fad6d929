#include "tree/name_delegate.h"

#include <QLineEdit>
#include <QTimer>

#include "tree/match_highlight.h"
#include "tree/tree_model.h"

namespace varnok::app {

NameDelegate::NameDelegate(ConnectionTreeModel& model, QObject* parent)
    : QStyledItemDelegate(parent), model_(model) {}

QWidget* NameDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                    const QModelIndex& index) const {
  QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
  editor->setObjectName(QStringLiteral("VTEditor"));
  emit editorOpened(model_.node(index));
  return editor;
}

void NameDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                         const QModelIndex& index) const {
  QStyledItemDelegate::paint(painter, option, index);
  const TreeNode* node = model_.isFiltered() ? model_.node(index) : nullptr;
  if (!node || !node->parent()) return;
  QStyleOptionViewItem shown = option;
  initStyleOption(&shown, index);
  PaintMatchedParts(painter, shown, MatchedParts(model_.filterQuery(), std::string(node->name())));
}

void NameDelegate::setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex& index) const {
  auto* line = qobject_cast<QLineEdit*>(editor);
  TreeNode* node = model_.node(index);
  if (!line || !node) return;
  const std::string text = line->text().toLocal8Bit().toStdString();
  // The node is renamed once the view has closed the editor.
  QTimer::singleShot(0, const_cast<NameDelegate*>(this), [this, index = QPersistentModelIndex(index), text] {
    if (TreeNode* n = index.isValid() ? model_.node(index) : nullptr) emit renamed(n, text);
  });
}

}  // namespace varnok::app
