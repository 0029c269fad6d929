#include "pages/page_cycle.h"

#include <QTimer>
#include <QTreeView>

#include "common/time_stamp.h"
#include "common/trim_text.h"
#include "dialogs/prompts.h"
#include "pages/connection_pages.h"
#include "pages/settings_page.h"
#include "tree/tree_model.h"

namespace varnok::app {

PageCycle::PageCycle(Context context, QObject* parent)
    : QObject(parent),
      view_(context.view),
      model_(context.model),
      tree_(context.model.tree()),
      pages_(context.pages),
      settingsPage_(context.settingsPage),
      prompter_(context.prompter),
      clock_(context.clock),
      loading_(context.loading),
      selection_(context.view, context.model) {
  connect(view_.selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this](const QModelIndex& current) { focusChanged(current); });
  connect(&view_, &QTreeView::collapsed, this, &PageCycle::nodeCollapsed);
  connect(&model_, &QAbstractItemModel::rowsAboutToBeRemoved, this, &PageCycle::nodesAboutToBeRemoved);
  connect(&model_, &QAbstractItemModel::modelAboutToBeReset, this, [this] {
    if (!model_.resetKeepsNodes()) shown_ = nullptr;
  });
}

void PageCycle::ShowNodeInPages() {
  if (pages_.isModified()) return;
  emit lastUpdatedShown({});
  const int selected = selection_.selectedCount();
  TreeNode* focused = selection_.focused();
  QString caption;
  if (selected == 0) {
    caption = QStringLiteral("No connection selected");
  } else if (selected > 1) {
    caption = QStringLiteral("Multiple items selected");
  } else if (selection_.isSelected(tree_.top()) || !focused || !selection_.isSelected(focused) ||
             focused->isSeparator()) {
    caption = QStringLiteral("No connection selected");
  }
  shown_ = focused;
  if (!caption.isEmpty()) {
    pages_.cover(caption);
    // Whatever is selected, the Colors page says first that colours are off.
    if (settingsPage_.colorSupportDisabled()) pages_.coverColors(QString::fromLatin1(kColorSupportDisabled));
    return;
  }
  pages_.uncover();
  if (settingsPage_.colorSupportDisabled()) pages_.coverColors(QString::fromLatin1(kColorSupportDisabled));
  // The editor's look first: the text is then styled once, the right way.
  emit editorColorsDue();
  pages_.load(focused->data());
  showLastUpdated(focused);
}

void PageCycle::showLastUpdated(const TreeNode* node) {
  const std::string_view stamp = node->data().LastUpdated;
  emit lastUpdatedShown(QString::fromLocal8Bit(stamp.data(), static_cast<qsizetype>(stamp.size())));
}

void PageCycle::CommitPages(TreeNode* node) {
  if (!node || node == tree_.top()) return;
  emit aboutToApply(node);
  rVTNodeData record = node->data();
  pages_.commit(record);
  record.LastUpdated = TimeStampNow(clock_);
  record.NodeType = TrimText(record.Macro).empty() ? StoredNodeType::NoMacro : StoredNodeType::Macro;
  tree_.setData(node, std::move(record));  // the history marks the document
  showLastUpdated(node);
  emit editorColorsDue();
  pages_.setModified(false);
  emit refreshRequested();
}

void PageCycle::apply() {
  TreeNode* node = selection_.focused();
  if (node && pages_.isModified()) CommitPages(node);
}

void PageCycle::writeIntoPages(const std::function<void()>& write) {
  ShowNodeInPages();
  write();
  pages_.setModified(true);
  emit refreshRequested();
}

bool PageCycle::settleEdits() {
  if (!shown_ || !pages_.isModified()) return true;
  return ask(shown_);
}

// Yes, No or Cancel to applying the edits of `node`; false for Cancel.
bool PageCycle::ask(TreeNode* node) {
  const PromptAnswer a = prompter_.ask(PromptKind::Warning, PromptButtons::YesNoCancel,
                                       "Do you want to apply the changes you made to " + std::string(" '") +
                                           std::string(node->name()) + "' ?");
  if (a == PromptAnswer::Cancel) return false;
  if (a == PromptAnswer::Yes)
    CommitPages(node);
  else
    pages_.setModified(false);
  return true;
}

void PageCycle::focusChanged(const QModelIndex& current) {
  if (reverting_ || loading_) return;
  TreeNode* to = model_.node(current);
  if (!shown_ || to == shown_ || !pages_.isModified()) {
    // While the tree has the focus the refresh loads the pages once the tree
    // has settled (and losing the focus loads them at once); a focus change
    // made while another control has the focus loads them now.
    if (!view_.hasFocus()) ShowNodeInPages();
    emit refreshRequested();
    return;
  }
  // Asked once the view has finished the click or key that moved the focus,
  // so that a refusal can put the old node back.
  QTimer::singleShot(0, this, &PageCycle::askAfterFocusChange);
}

void PageCycle::askAfterFocusChange() {
  TreeNode* left = shown_;
  if (!left || selection_.focused() == left || !pages_.isModified()) return;
  const QVariantList saved = pages_.state();
  if (!ask(left)) {
    reverting_ = true;
    selection_.select(left);
    reverting_ = false;
    pages_.restoreState(saved);
    emit editorColorsDue();
    showLastUpdated(left);
    return;
  }
  ShowNodeInPages();  // the pages now belong to the newly focused node
  emit refreshRequested();
}

void PageCycle::nodeCollapsed(const QModelIndex& index) {
  if (reverting_ || loading_) return;
  TreeNode* node = model_.node(index);
  if (!node) return;
  const bool holdsShown = shown_ && (node == shown_ || node->isAncestorOf(shown_));
  if (holdsShown && pages_.isModified() && !ask(shown_)) {
    reverting_ = true;
    view_.expand(index);
    reverting_ = false;
    return;
  }
  // The collapsed node becomes the focused, selected and shown one.
  selection_.select(node);
  ShowNodeInPages();
  emit refreshRequested();
}

void PageCycle::nodesAboutToBeRemoved(const QModelIndex& parent, int first, int last) {
  TreeNode* p = model_.node(parent);
  if (!p || !shown_) return;
  for (int row = first; row <= last; ++row) {
    TreeNode* n = p->child(row);
    if (n == shown_ || n->isAncestorOf(shown_)) shown_ = nullptr;
  }
}

}  // namespace varnok::app
