// The cycle between the focused connection and the pages: loading the pages
// from the record, Apply, and the apply question when the focus leaves a
// connection with unapplied edits or its branch is collapsed.
#include <Qsci/qsciscintilla.h>

#include <QAction>
#include <QCheckBox>
#include <QTimer>
#include <QTreeView>

#include "command_set.h"
#include "common/time_stamp.h"
#include "common/trim_text.h"
#include "main_window.h"
#include "settings_page.h"
#include "status_panels.h"
#include "tree_model.h"

namespace varnok::app {

namespace {

QString LastUpdatedText(const std::string& stamp) {
  return QStringLiteral("  Last updated: ") + QString::fromLocal8Bit(stamp.c_str());
}

std::string ApplyQuestion(const std::string& name) {
  return "Do you want to apply the changes you made to " + std::string(" '") + name + "' ?";
}

}  // namespace

void MainWindow::ShowNodeInPages() {
  if (IsConnectionModified()) return;
  status_->setText(StatusPanels::LastUpdated, QString());
  const int selected = selectedCount();
  TreeNode* focused = focusedNode();
  QString caption;
  if (selected == 0) {
    caption = QStringLiteral("No connection selected");
  } else if (selected > 1) {
    caption = QStringLiteral("Multiple items selected");
  } else if (isNodeSelected(tree_.Top()) || !focused || !isNodeSelected(focused) || focused->isSeparator()) {
    caption = QStringLiteral("No connection selected");
  }
  currentNode_ = focused;
  if (!caption.isEmpty()) {
    pages_->cover(caption);
    return;
  }
  pages_->uncover();
  if (settingsPage_->cbNoColors->isChecked()) pages_->coverColors(QStringLiteral("Color support is disabled"));
  const rVTNodeData& record = focused->data();
  {
    LoadingGuard guard(*this);  // loading a connection never marks it modified
    pages_->load(record);
  }
  if (!record.LastUpdated.empty()) status_->setText(StatusPanels::LastUpdated, LastUpdatedText(record.LastUpdated));
}

void MainWindow::CommitPages(TreeNode* node) {
  if (!node || node == tree_.Top()) return;
  rVTNodeData record = node->data();
  pages_->store(record);
  record.LastUpdated = TimeStampNow(*clock_);
  if (!record.LastUpdated.empty() && !status_->text(StatusPanels::LastUpdated).contains(QString::fromLocal8Bit(record.LastUpdated.c_str())))
    status_->setText(StatusPanels::LastUpdated, LastUpdatedText(record.LastUpdated));
  record.NodeType = TrimText(record.Macro).empty() ? 1 : 2;
  tree_.SetData(node, std::move(record));
  UpdateCaption(true);
  SetConnectionModified(false);
  RequestRefresh();
}

void MainWindow::applyClicked() {
  commands_->buttons.apply->setEnabled(false);
  TreeNode* node = focusedNode();
  if (node && IsConnectionModified()) CommitPages(node);
}

void MainWindow::focusChanged(const QModelIndex& current, const QModelIndex&) {
  if (revertingFocus_ || loading_) return;
  TreeNode* to = model_->node(current);
  if (!currentNode_ || to == currentNode_ || !IsConnectionModified()) {
    RequestRefresh();
    return;
  }
  // Asked once the view has finished the click or key that moved the focus,
  // so that a refusal can put the old node back.
  QTimer::singleShot(0, this, [this] {
    TreeNode* left = currentNode_;
    if (!left || focusedNode() == left || !IsConnectionModified()) return;
    const PageContents saved = pages_->capture();
    const PromptAnswer a = prompter_.ask(PromptKind::Warning, PromptButtons::YesNoCancel, ApplyQuestion(left->name()));
    if (a == PromptAnswer::Cancel) {
      revertingFocus_ = true;
      selectNode(left);
      revertingFocus_ = false;
      {
        LoadingGuard guard(*this);
        pages_->restore(saved);
      }
      const std::string& stamp = left->data().LastUpdated;
      status_->setText(StatusPanels::LastUpdated, stamp.empty() ? QString() : LastUpdatedText(stamp));
      return;
    }
    if (a == PromptAnswer::Yes)
      CommitPages(left);
    else
      SetConnectionModified(false);
    currentNode_ = focusedNode();
    RequestRefresh();
  });
}

void MainWindow::nodeCollapsed(const QModelIndex& index) {
  if (revertingFocus_ || loading_) return;
  TreeNode* node = model_->node(index);
  if (!node || !currentNode_ || !IsConnectionModified()) return;
  if (node != currentNode_ && !node->isAncestorOf(currentNode_)) return;
  const PromptAnswer a = prompter_.ask(PromptKind::Warning, PromptButtons::YesNoCancel, ApplyQuestion(currentNode_->name()));
  if (a == PromptAnswer::Cancel) {
    revertingFocus_ = true;
    vt_->expand(index);
    revertingFocus_ = false;
    return;
  }
  if (a == PromptAnswer::Yes)
    CommitPages(currentNode_);
  else
    SetConnectionModified(false);
  RequestRefresh();
}

}  // namespace varnok::app
