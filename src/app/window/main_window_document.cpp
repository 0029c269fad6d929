// The window's side of the document: the window's own commands, the
// recent-file entries of the File menu, Close, and the document's host calls.
#include <QApplication>
#include <QCloseEvent>

#include "commands/command_actions.h"
#include "pages/color_options.h"
#include "pages/connection_pages.h"
#include "pages/settings_page.h"
#include "platform/program_places.h"
#include "properties/color_set.h"
#include "run/transfer_commands.h"
#include "system/companion_link.h"
#include "tree/tree_clipboard.h"
#include "tree/tree_model.h"
#include "window/command_handlers.h"
#include "window/command_refresh.h"
#include "window/main_window.h"
#include "window/recent_files_menu.h"
#include "window/status_panels.h"
#include "window/window_layout.h"

namespace varnok::app {

void MainWindow::importHandedOverFile(const std::string& path) { transfers_->importFile(path); }

void MainWindow::connectCommands() {
  commands_->setSnapshotSource([this] { return refresh_->snapshot(); });
  commands_->setHandler(Command::Close, [this] { close(); });
  commands_->setHandler(Command::ExpandAll, [this] { expandAll(); });
  commands_->setHandler(Command::CollapseAll, [this] { collapseAll(); });
  new CommandHandlers(
      {*this, *commands_, *document_, *editing_, *edits_, *runs_, *multiRun_, *transfers_, *foreignImports_,
       *cycle_, *pages_, *settingsPage_, *treeView_, prompter_, services_, EditorPointSize(*this)},
      this);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (!document_->mayClose(settingsPage_->saveWithoutPrompting())) {
    event->ignore();
    if (onCloseCancelled) onCloseCancelled();
    return;
  }
  event->accept();
}

// ---- DocumentHost ----

std::optional<std::string> MainWindow::connectionWithUnappliedEdits() const {
  const TreeNode* node = cycle_->shownNode() ? cycle_->shownNode() : focusedNode();
  if (!connectionModified() || !node || node == document_->tree().top()) return std::nullopt;
  return std::string(node->name());
}

void MainWindow::applyUnappliedEdits() {
  commands_->disableButton(Command::Apply);
  cycle_->CommitPages(cycle_->shownNode() ? cycle_->shownNode() : focusedNode());
}

void MainWindow::discardUnappliedEdits() {
  setConnectionModified(false);
  cycle_->ShowNodeInPages();  // the discarded text does not stay on view
}

// Every moment the companion must learn about: settings written, then "VarnokRRMessage".
void MainWindow::notifyCompanion() {
  NotifyCompanion([this] { saveSettings(); });
}

void MainWindow::beginBusy() {
  if (busyDepth_++ > 0) return;
  busyWasLoading_ = loading_;
  loading_ = true;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  treeView_->setUpdatesEnabled(false);
}

void MainWindow::endBusy() {
  if (--busyDepth_ > 0) return;
  treeView_->expand(model_->indexOf(tree().top()));
  treeView_->setUpdatesEnabled(true);
  QApplication::restoreOverrideCursor();
  loading_ = busyWasLoading_;
}

void MainWindow::documentReplaced(TreeNode* focus) {
  {
    ScopedFlag loading(loading_);
    if (focus) {
      selectNode(focus);
    } else if (!tree().top()->hasChildren()) {
      pages_->clear();
      treeView_->setCurrentIndex(model_->indexOf(tree().top()));
    }
  }
  setConnectionModified(false);
  if (loading_) return;
  cycle_->ShowNodeInPages();
  commands_->applyAll(refresh_->snapshot());
}

void MainWindow::documentStateChanged() {
  setWindowTitle(QString::fromLocal8Bit(document_->caption().c_str()));
  recentMenu_->show(document_->recentFiles().files());
  requestRefresh();
}

void MainWindow::saveFinished() {
  treeView_->setFocus();
  commands_->applyAll(refresh_->snapshot());
  requestRefresh();
}

// ---- PageCycleHost, TreeEditingHost ----

void MainWindow::clearClipboardMarksFor(const TreeNode* node) {
  if (clipboard_) clipboard_->clearMarksFor(node);
}

std::string MainWindow::defaultColors() const {
  return properties::DefaultColorString(
      platform::EmulatorDirFor(services_.programDir, settingsPage_->emulatorDir()));
}

bool MainWindow::colorSupportDisabled() const { return settingsPage_->colorSupportDisabled(); }

void MainWindow::showEditorColors() { colorOptions_->showEditorColors(); }

void MainWindow::showLastUpdated(const std::string& stamp) {
  status_->setText(
      StatusPanels::LastUpdated,
      stamp.empty() ? QString() : QStringLiteral("  Last updated: ") + QString::fromLocal8Bit(stamp.c_str()));
}

}  // namespace varnok::app
