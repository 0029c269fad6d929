// The window's side of the document: the commands' handlers, the recent-file
// entries of the File menu, Close, and the document's host calls.
#include <Qsci/qsciscintilla.h>

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QItemSelectionModel>
#include <QMenu>
#include <QPushButton>
#include <QTreeView>

#include "commands/command_actions.h"
#include "commands/command_snapshot.h"
#include "common/program_paths.h"
#include "dialogs/about_window.h"
#include "editor/template_menu.h"
#include "pages/color_options.h"
#include "pages/colors_page.h"
#include "pages/connection_pages.h"
#include "pages/macro_page.h"
#include "pages/settings_page.h"
#include "properties/color_set.h"
#include "properties/macro_templates.h"
#include "run/foreign_import_commands.h"
#include "run/multi_run.h"
#include "run/preview_window.h"
#include "run/run_commands.h"
#include "run/transfer_commands.h"
#include "system/companion_link.h"
#include "tree/edit_commands.h"
#include "tree/tree_clipboard.h"
#include "tree/tree_model.h"
#include "window/main_window.h"
#include "window/status_panels.h"

namespace varnok::app {

void MainWindow::importHandedOverFile(const std::string& path) { transfers_->importFile(path); }

void MainWindow::showPreview() {
  if (!preview_) {
    preview_ = new PreviewWindow([this] { return runs_->preview(); }, editorPointSize(), this);
    // It follows the focused connection, the selection and the editor's unapplied text.
    connect(treeView_->selectionModel(), &QItemSelectionModel::currentChanged, preview_,
            &PreviewWindow::refresh);
    connect(treeView_->selectionModel(), &QItemSelectionModel::selectionChanged, preview_,
            &PreviewWindow::refresh);
    connect(pages_, &ConnectionPages::edited, preview_, &PreviewWindow::refresh);
  }
  preview_->show();
  preview_->raise();
  preview_->refresh();
}

void MainWindow::openHelp(const char* file, const char* missing) {
  const std::string path = services_.programDir + "/" + file;
  if (!FileExists(path)) {
    prompter_.error(missing);
    return;
  }
  if (const platform::LaunchResult opened = services_.openDocument(path); !opened.ok)
    prompter_.error("Cannot open " + path + ": " + opened.error);
}

bool MainWindow::refusedDuringMultiRun() {
  if (!multiRun_->active()) return false;
  prompter_.information(
      "\"Run all selected\" is still starting connections.\rWait until it has finished, or cancel it with "
      "Esc.");
  return true;
}

void MainWindow::connectCommands() {
  commands_->setSnapshotSource([this] { return snapshot(); });
  commands_->setRefusal([this] { return refusedDuringMultiRun(); });
  commands_->setHandler(Command::New, [this] { document_->newDocument(); });
  commands_->setHandler(Command::Open, [this] { document_->open(); });
  commands_->setHandler(Command::Save, [this] { document_->save(); });
  commands_->setHandler(Command::SaveAs, [this] { document_->saveAs(); });
  commands_->setHandler(Command::Close, [this] { close(); });
  commands_->setHandler(Command::ExpandAll, [this] { expandAll(true); });
  commands_->setHandler(Command::CollapseAll, [this] { expandAll(false); });
  commands_->setHandler(Command::AddChild, [this] { editing_->addChild(); });
  commands_->setHandler(Command::AddSibling, [this] { editing_->addSibling(); });
  commands_->setHandler(Command::AddSeparator, [this] { editing_->addSeparatorLine(); });
  commands_->setHandler(Command::Duplicate, [this] { editing_->duplicate(); });
  commands_->setHandler(Command::Delete, [this] {
    commands_->disableButton(Command::Delete);  // the button disables itself first
    editing_->deleteSelected();
  });
  commands_->setHandler(Command::MoveUp, [this] { editing_->moveUp(); });
  commands_->setHandler(Command::MoveDown, [this] { editing_->moveDown(); });
  commands_->setHandler(Command::Undo, [this] { edits_->undo(); });
  commands_->setHandler(Command::Cut, [this] {
    commands_->disableButton(Command::Cut);
    edits_->cut();
  });
  commands_->setHandler(Command::Copy, [this] { edits_->copy(); });
  commands_->setHandler(Command::Paste, [this] { edits_->paste(); });
  commands_->setHandler(Command::SelectAll, [this] { edits_->selectAll(); });
  commands_->setHandler(Command::Run, [this] { runs_->run(true, false); });
  commands_->setHandler(Command::RunToCursor, [this] { runs_->run(false, false); });
  commands_->setHandler(Command::RunBranch, [this] { runs_->run(true, true); });
  commands_->setHandler(Command::RunBranchToCursor, [this] { runs_->run(false, true); });
  commands_->setHandler(Command::RunAllSelected, [this] { multiRun_->start(); });
  commands_->setHandler(Command::ImportConnection, [this] { transfers_->importConnections(); });
  commands_->setHandler(Command::ExportConnection, [this] { transfers_->exportConnections(); });
  commands_->setHandler(Command::ImportMacro, [this] { transfers_->importMacro(); });
  commands_->setHandler(Command::ExportMacro, [this] { transfers_->exportMacro(); });
  commands_->setHandler(Command::CorvaneHelp,
                        [this] { openHelp("corvhelp.hlp", "Corvane help file 'corvhelp.hlp' not found."); });
  commands_->setHandler(Command::MacroHelp,
                        [this] { openHelp("macro.hlp", "Corvane macro help file 'macro.hlp' not found."); });
  commands_->setHandler(Command::About, [this] {
    AboutWindow about([this](const std::string& url) { services_.openDocument(url); }, this);
    about.exec();
  });
  commands_->setHandler(Command::License, [this] {
    LicenceWindow licence(this);
    licence.exec();
  });
  commands_->setHandler(Command::PreviewBranchMacro, [this] { showPreview(); });
  commands_->setHandler(Command::ShowPopup, [this] { runs_->showPopup(); });
  commands_->setHandler(Command::UndoTreeChange, [this] { editing_->undo(); });
  commands_->setHandler(Command::RedoTreeChange, [this] { editing_->redo(); });
  commands_->setHandler(Command::Apply, [this] {
    commands_->disableButton(Command::Apply);  // the button disables itself first
    cycle_->apply();
  });
  connectPageCommands();
}

void MainWindow::connectPageCommands() {
  ColorsPage& colors = pages_->colors();
  commands_->attachButton(Command::SetParentColors, colors.parentColorsButton());
  commands_->attachButton(Command::SetSameBackground, colors.sameBackgroundButton());
  commands_->setHandler(Command::SetParentColors, [&colors] { colors.takeParentColors(); });
  commands_->setHandler(Command::SetSameBackground, [&colors] { colors.copyBackgroundToAll(); });
  // The submenu's items do the work; the submenu itself only opens.
  commands_->setHandler(Command::ImportTemplate, [] {});
  commands_->setHandler(Command::ImportFromTools, [] {});
  foreignImports_->fillMenu(*commands_->foreignImportMenu());
  FillTemplateMenu(*commands_->templateMenu(), [this](int tag) {
    QsciScintilla& editor = pages_->macro().editor();
    cycle_->writeIntoPages([&editor, tag] { InsertTemplate(editor, pages::MacroTemplateText(tag)); });
    editor.setFocus(Qt::OtherFocusReason);
  });
}

void MainWindow::rebuildRecentMenu() {
  QMenu* file = commands_->menu(MenuId::File);
  QAction* close = commands_->menuItem(Command::Close);
  for (QAction* a : recentActions_) {
    file->removeAction(a);
    a->deleteLater();
  }
  recentActions_.clear();
  const auto& files = document_->recentFiles().files();
  for (std::size_t i = 0; i < files.size(); ++i) {
    const std::string path = files[i];
    const QString text =
        QStringLiteral("&%1  %2").arg(i + 1).arg(QString::fromLocal8Bit(FileNameOf(path).c_str()));
    auto* action = new QAction(text, file);
    action->setObjectName(QStringLiteral("MRU%1").arg(i + 1));
    action->setData(QString::fromLocal8Bit(path.c_str()));
    connect(action, &QAction::triggered, this, [this, path] { document_->openRecent(path); });
    file->insertAction(close, action);
    recentActions_.append(action);
  }
  if (!files.empty()) recentActions_.append(file->insertSeparator(close));
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
  if (!IsConnectionModified() || !node || node == document_->tree().top()) return std::nullopt;
  return std::string(node->name());
}

void MainWindow::applyUnappliedEdits() {
  commands_->disableButton(Command::Apply);
  cycle_->CommitPages(cycle_->shownNode() ? cycle_->shownNode() : focusedNode());
}

void MainWindow::discardUnappliedEdits() {
  SetConnectionModified(false);
  cycle_->ShowNodeInPages();  // the discarded text does not stay on view
}

// Every moment the companion must learn about: settings written, then "VarnokRRMessage".
void MainWindow::notifyCompanion() {
  NotifyCompanion([this] { SaveSettings(); });
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
  SetConnectionModified(false);
  if (loading_) return;
  cycle_->ShowNodeInPages();
  commands_->applyAll(snapshot());
}

void MainWindow::documentStateChanged() {
  setWindowTitle(QString::fromLocal8Bit(document_->caption().c_str()));
  rebuildRecentMenu();
  RequestRefresh();
}

void MainWindow::saveFinished() {
  treeView_->setFocus();
  commands_->applyAll(snapshot());
  RequestRefresh();
}

// ---- PageCycleHost, TreeEditingHost ----

void MainWindow::clearClipboardMarksFor(const TreeNode* node) {
  if (clipboard_) clipboard_->clearMarksFor(node);
}

std::string MainWindow::defaultColors() const { return DefaultColorString(services_.programDir); }

bool MainWindow::colorSupportDisabled() const { return settingsPage_->colorSupportDisabled(); }

void MainWindow::showEditorColors() { colorOptions_->showEditorColors(); }

void MainWindow::showLastUpdated(const std::string& stamp) {
  status_->setText(
      StatusPanels::LastUpdated,
      stamp.empty() ? QString() : QStringLiteral("  Last updated: ") + QString::fromLocal8Bit(stamp.c_str()));
}

}  // namespace varnok::app
