// The document commands of the main window: New, Open, Save, Save as, the
// recent-file list, Close, and the loading of a configuration file.
#include <QAction>
#include <QCheckBox>
#include <QApplication>
#include <QCloseEvent>
#include <QMenu>
#include <QTreeView>

#include "command_set.h"
#include "companion_link.h"
#include "common/program_paths.h"
#include "files/vnk_file.h"
#include "main_window.h"
#include "files/import_export.h"
#include "settings_page.h"
#include "status_panels.h"
#include "tree_model.h"

namespace varnok::app {

namespace {

const char* const kVnkFilter = "Varnok file (*.VNK)|*.VNK|All files (*.*)|*.*";

}  // namespace

PromptAnswer MainWindow::ConfirmDiscard() {
  TreeNode* node = currentNode_ ? currentNode_ : focusedNode();
  if (IsConnectionModified() && node && node != tree_.Top()) {
    const PromptAnswer a = prompter_.ask(PromptKind::Warning, PromptButtons::YesNoCancel,
                                         "Do you want to apply the changes you made to " + std::string(" '") +
                                             node->name() + "' ?");
    if (a == PromptAnswer::Cancel) return PromptAnswer::Cancel;
    if (a == PromptAnswer::Yes) {
      commands_->buttons.apply->setEnabled(false);
      CommitPages(node);
    } else {
      SetConnectionModified(false);
    }
  }
  if (!isDocumentModified()) return PromptAnswer::No;
  const std::string name = currentFile_.empty() ? std::string("Noname.VNK") : FileNameOf(currentFile_);
  return prompter_.ask(PromptKind::Warning, PromptButtons::YesNoCancel,
                       "Do you want to save the changes you made to " + name + "?");
}

bool MainWindow::NewDocument() {
  const PromptAnswer r = ConfirmDiscard();
  if (r == PromptAnswer::Cancel) return false;
  if (r == PromptAnswer::Yes)
    SaveDocument();
  else
    UpdateCaption(false);
  if (isDocumentModified()) return false;
  clearDocument();
  return true;
}

void MainWindow::clearDocument() {
  {
    LoadingGuard guard(*this);
    tree_.Clear();
    pages_->clear();
    currentFile_.clear();
    vt_->setCurrentIndex(model_->indexOf(tree_.Top()));
  }
  SetConnectionModified(false);
  commands_->buttons.newFile->setEnabled(false);
  commands_->menu.newFile->setEnabled(false);
  UpdateCaption(false);
  ShowNodeInPages();
}

bool MainWindow::loadDocument(const std::string& path) {
  LoadResult result;
  {
    LoadingGuard guard(*this);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    vt_->setUpdatesEnabled(false);
    result = LoadConfiguration(tree_, path, /*import=*/false, settings_.selectedNodeIndex);
    if (result.nameDocument) currentFile_ = path;
    vt_->expand(model_->indexOf(tree_.Top()));
    vt_->setUpdatesEnabled(true);
    QApplication::restoreOverrideCursor();
  }
  UpdateCaption(false);
  SetConnectionModified(false);
  if (result.focusNode) {
    LoadingGuard guard(*this);
    selectNode(result.focusNode);
  } else if (result.ok()) {
    settings_.selectedNodeIndex = 0;
  }
  if (!result.ok()) {
    std::string text = result.message;
    if (!result.reason.empty()) text += "\r" + result.reason;
    prompter_.warning(text);
  }
  return result.ok();
}

void MainWindow::OpenDocument() {
  const auto path = dialogs_->openFile({"Open Varnok file", kVnkFilter, "vnk", ""});
  if (!path) return;
  if (!NewDocument()) return;
  if (loadDocument(*path)) {
    notifyCompanion();
    recent_.putOnTop(*path);
    rebuildRecentMenu();
  }
  UpdateCaption(false);
  SetConnectionModified(false);
  ShowNodeInPages();
}

bool MainWindow::saveTo(const std::string& path) {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const WriteResult result = SaveConfiguration(tree_, path);
  QApplication::restoreOverrideCursor();
  notifyCompanion();
  if (!result) {
    prompter_.error(result.error);
    return false;
  }
  return true;
}

bool MainWindow::SaveDocument() {
  bool saved = false;
  if (!currentFile_.empty()) {
    saved = saveTo(currentFile_);
    if (saved) {
      commands_->buttons.save->setEnabled(false);
      UpdateCaption(false);
    }
  } else {
    saved = SaveDocumentAs();
  }
  vt_->setFocus();
  RequestRefresh();
  return saved;
}

bool MainWindow::SaveDocumentAs() {
  const auto path = dialogs_->saveFile({"Save Varnok file as", kVnkFilter, "vnk", currentFile_});
  if (!path) return false;
  currentFile_ = *path;
  if (!SaveDocument()) return false;
  recent_.putOnTop(*path);
  rebuildRecentMenu();
  return true;
}

void MainWindow::OpenRecentFile(const std::string& path) {
  if (!FileExists(path)) {
    recent_.remove(path);
    rebuildRecentMenu();
    prompter_.warning("File '" + DisplayName(path) + "' does not exist any more.");
    return;
  }
  recent_.putOnTop(path);
  rebuildRecentMenu();
  if (!NewDocument()) return;
  if (loadDocument(path)) {
    notifyCompanion();
    recent_.putOnTop(path);
    rebuildRecentMenu();
  }
  UpdateCaption(false);
  SetConnectionModified(false);
  ShowNodeInPages();
}

void MainWindow::rebuildRecentMenu() {
  QMenu* file = commands_->fileMenu;
  for (QAction* a : recentActions_) {
    file->removeAction(a);
    a->deleteLater();
  }
  recentActions_.clear();
  const auto& files = recent_.files();
  for (std::size_t i = 0; i < files.size(); ++i) {
    const std::string path = files[i];
    const QString text = QStringLiteral("&%1  %2").arg(i + 1).arg(QString::fromLocal8Bit(FileNameOf(path).c_str()));
    auto* action = new QAction(text, file);
    action->setObjectName(QStringLiteral("MRU%1").arg(i + 1));
    action->setData(QString::fromLocal8Bit(path.c_str()));
    connect(action, &QAction::triggered, this, [this, path] { OpenRecentFile(path); });
    file->insertAction(commands_->menu.close, action);
    recentActions_.append(action);
  }
  if (!files.empty()) {
    QAction* after = file->insertSeparator(commands_->menu.close);
    recentActions_.append(after);
  }
}

// Every moment the companion must learn about: settings written, then "VarnokRRMessage".
void MainWindow::notifyCompanion() {
  NotifyCompanion([this] { SaveSettings(); });
}

void MainWindow::closeEvent(QCloseEvent* event) {
  bool mayClose = true;
  if (isDocumentModified() && settingsPage_->cbAutoSave->isChecked()) {
    mayClose = SaveDocument();
  } else {
    const PromptAnswer r = ConfirmDiscard();
    if (r == PromptAnswer::Cancel)
      mayClose = false;
    else if (r == PromptAnswer::Yes)
      mayClose = SaveDocument();
  }
  if (!mayClose) {
    // A close never drops unsaved work: a cancelled or failed save keeps the window.
    event->ignore();
    if (onCloseCancelled) onCloseCancelled();
    return;
  }
  notifyCompanion();
  event->accept();
}

void MainWindow::ImportHandedOverFile(const std::string& path) {
  // A .VNK or .PLF file's connections are appended below the top node; the
  // pages keep an unapplied-edits mark.
  ImportResult result;
  {
    LoadingGuard guard(*this);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    result = ImportConnections(tree_, path, services_.programDir, -1, *clock_);
    vt_->expand(model_->indexOf(tree_.Top()));
    QApplication::restoreOverrideCursor();
  }
  if (!result.supported) {
    prompter_.warning(std::string(kUnsupportedImportFormat));
    return;
  }
  for (const std::string& warning : result.warnings) prompter_.warning(warning);
  if (result.documentModified) UpdateCaption(true);
  RequestRefresh();
}

}  // namespace varnok::app
