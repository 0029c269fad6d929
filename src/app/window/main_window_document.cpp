// The window's side of the document and the companion: the window's own
// commands, the document's signals, Close and the handed-over file.
#include <QCloseEvent>

#include "commands/command_actions.h"
#include "pages/connection_pages.h"
#include "pages/page_cycle.h"
#include "pages/settings_page.h"
#include "run/transfer_commands.h"
#include "system/companion_link.h"
#include "tree/tree_model.h"
#include "tree/tree_view.h"
#include "widgets/scoped_flag.h"
#include "window/command_handlers.h"
#include "window/command_refresh.h"
#include "window/main_window.h"
#include "window/recent_files_menu.h"
#include "window/status_panels.h"
#include "window/window_layout.h"

namespace varnok::app {

void MainWindow::importHandedOverFile(const std::string& path) { transfers_->importFile(path); }

void MainWindow::connectCommands() {
  connect(commands_, &CommandActions::menuOpening, this,
          [this] { commands_->applyToMenus(refresh_->snapshot()); });
  commands_->setHandler(Command::Close, [this] { close(); });
  commands_->setHandler(Command::ExpandAll, [this] { expandAll(); });
  commands_->setHandler(Command::CollapseAll, [this] { collapseAll(); });
  new CommandHandlers(
      {*this, *commands_, *document_, *editing_, *edits_, *runs_, *multiRun_, *transfers_, *foreignImports_,
       *cycle_, *pages_, *settingsPage_, *treeView_, prompter_, services_, EditorPointSize(*this)},
      this);
}

void MainWindow::connectDocument() {
  connect(document_.get(), &Document::captionChanged, this, [this] {
    setWindowTitle(QString::fromLocal8Bit(document_->caption().c_str()));
    requestRefresh();
  });
  connect(document_.get(), &Document::recentFilesChanged, this,
          [this] { recentMenu_->show(document_->recentFiles().files()); });
  connect(document_.get(), &Document::replaced, this, &MainWindow::documentReplaced);
  connect(document_.get(), &Document::companionNoticeDue, this, &MainWindow::notifyCompanion);
  connect(document_.get(), &Document::saveFinished, this, [this] {
    treeView_->setFocus();
    commands_->applyAll(refresh_->snapshot());
    requestRefresh();
  });
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (!document_->mayClose(settingsPage_->saveWithoutPrompting())) {
    event->ignore();
    emit closeCancelled();
    return;
  }
  event->accept();
}

void MainWindow::closeOnRequest() {
  if (connectionModified() || isDocumentModified()) ShowMainWindow(this);
  close();
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
  pages_->setModified(false);
  if (loading_) return;
  cycle_->ShowNodeInPages();
  commands_->applyAll(refresh_->snapshot());
}

// Every moment the companion must learn about: settings written, then "VarnokRRMessage".
void MainWindow::notifyCompanion() {
  saveSettings();
  NotifyCompanion();
}

void MainWindow::showLastUpdated(const QString& stamp) {
  status_->setText(StatusPanels::LastUpdated,
                   stamp.isEmpty() ? QString() : QStringLiteral("  Last updated: ") + stamp);
}

}  // namespace varnok::app
