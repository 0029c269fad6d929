#include "window/main_window.h"

#include <Qsci/qsciscintilla.h>

#include <QApplication>
#include <QLineEdit>
#include <QSplitter>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTabWidget>
#include <utility>

#include "commands/command_actions.h"
#include "commands/edit_commands.h"
#include "common/time_stamp.h"
#include "dialogs/file_dialogs.h"
#include "dialogs/progress_work.h"
#include "find/tree_filter.h"
#include "pages/color_options.h"
#include "pages/connection_pages.h"
#include "pages/emulator_folder_field.h"
#include "pages/macro_page.h"
#include "pages/page_cycle.h"
#include "pages/popup_page.h"
#include "pages/schedule_page.h"
#include "pages/settings_page.h"
#include "platform/program_places.h"
#include "platform/settings_names.h"
#include "platform/settings_store.h"
#include "platform/system_info.h"
#include "run/foreign_import_commands.h"
#include "run/multi_run.h"
#include "run/run_commands.h"
#include "run/transfer_commands.h"
#include "system/system_registrations.h"
#include "tree/tree_clipboard.h"
#include "tree/tree_editing.h"
#include "tree/tree_model.h"
#include "tree/tree_selection.h"
#include "tree/tree_view.h"
#include "widgets/scoped_flag.h"
#include "window/busy_state.h"
#include "window/command_refresh.h"
#include "window/input_tracker.h"
#include "window/recent_files_menu.h"
#include "window/start_document.h"
#include "window/status_panels.h"
#include "window/stored_recent_files.h"
#include "window/window_layout.h"

namespace varnok::app {

MainWindow::MainWindow(Prompter& prompter, QWidget* parent, WindowServices services)
    : QMainWindow(parent), prompter_(prompter), services_(std::move(services)) {
  setObjectName(QStringLiteral("Form1"));
  FileDialogs* dialogs = services_.dialogs;
  if (!dialogs) {
    ownDialogs_ = MakeQtFileDialogs(this);
    dialogs = ownDialogs_.get();
  }
  store_ = services_.settings;
  if (!store_) {
    ownSettings_ = platform::OpenVarnokSettings();
    store_ = ownSettings_.get();
  }
  const Clock& clock = services_.clock ? *services_.clock : SystemClock();
  // Default colours come from the emulator's settings file.
  const std::string emulatorDir =
      platform::EmulatorDirFor(services_.programDir, platform::EmulatorDir.read(*store_));
  document_ =
      std::make_unique<Document>(Document::Context{prompter_, *dialogs, clock, pageEdits_}, emulatorDir);
  start_ = std::make_unique<StartDocument>(
      StartDocument::Context{*document_, *store_, prompter_, services_.programDir});

  buildLayout();
  connectPages();
  createHelpers(*dialogs, clock, emulatorDir);
  connectDocument();
  connectCommands();
  createWindow();
}

MainWindow::~MainWindow() = default;

void MainWindow::buildLayout() {
  SetUpWindow(*this);
  commands_ = new CommandActions(*this);
  recentMenu_ =
      new RecentFilesMenu(*commands_->menu(MenuId::File), *commands_->menuItem(Command::Close), this);
  connect(recentMenu_, &RecentFilesMenu::chosen, this,
          [this](const std::string& path) { document_->openRecent(path); });
  status_ = std::make_unique<StatusPanels>(*statusBar());
  const WindowLayout layout = BuildWindowLayout(*this);
  splitter_ = layout.splitter;
  treeView_ = layout.treeView;
  pageControl_ = layout.pageControl;
  settingsPage_ = layout.settingsPage;
  pages_ = layout.pages;

  const std::string computer = services_.computerName ? *services_.computerName : platform::ComputerName();
  model_ = std::make_unique<ConnectionTreeModel>(document_->tree(), computer);
  treeView_->setModel(model_.get());
  selection_ = std::make_unique<TreeSelection>(*treeView_, *model_);
  new BusyState({*document_, *treeView_, *model_, loading_}, this);
  connect(treeView_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [this] { requestRefresh(); });
  connect(commands_, &CommandActions::contextMenuRequested, this, &MainWindow::refreshCommands);
  commands_->attachContextMenu(*treeView_, *treeView_->viewport());
}

void MainWindow::createHelpers(FileDialogs& dialogs, const Clock& clock, const std::string& emulatorDir) {
  cycle_ = std::make_unique<PageCycle>(
      PageCycle::Context{*treeView_, *model_, *pages_, *settingsPage_, prompter_, clock, loading_});
  pageEdits_.attach({*cycle_, *pages_, *commands_, *selection_});
  filter_ = std::make_unique<TreeFilter>(
      TreeFilter::Context{*this, *statusBar(), *treeView_, *model_, *selection_, *cycle_, *store_});
  splitter_->insertWidget(0, filter_->pane());
  splitter_->setSizes({kDesignedTreeWidth, kDesignedGeometry.width - kDesignedTreeWidth});
  refresh_ = std::make_unique<CommandRefresh>(
      CommandRefresh::Context{*treeView_, *model_, *selection_, *pageControl_, *settingsPage_, *pages_,
                              *cycle_, *commands_, *status_, *document_, loading_});
  colorOptions_ = std::make_unique<ColorOptions>(ColorOptions::Context{*settingsPage_, *pages_, *cycle_},
                                                 emulatorDir, services_.programDir);
  settingsPage_->emulatorFolder().setPlaces(services_.programDir, dialogs);
  pages_->schedule().setPrompter(&prompter_);
  editing_ = std::make_unique<TreeEditing>(TreeEditing::Context{
      *treeView_, *model_, document_->history(), prompter_, pages_->modifiedMark(), *colorOptions_});
  // A change made outside a command (Apply, an import) keeps the view as it stands.
  document_->history().viewState = [this] { return selection_->state(); };
  clipboard_ = std::make_unique<TreeClipboard>(*treeView_, *model_);
  // Long imports and pastes are read away from the GUI thread, with Cancel.
  longWork_ = new ProgressWork(this, this);
  document_->setLongWork(*longWork_);
  clipboard_->setLongWork(*longWork_);
  editing_->attachTo(*treeView_, *clipboard_);
  edits_ = std::make_unique<EditCommands>(EditCommands::Context{
      *treeView_, *model_, *pages_, *settingsPage_, *clipboard_, document_->history(), *cycle_, prompter_});
  runs_ = std::make_unique<RunCommands>(
      RunCommands::Context{*treeView_, *model_, *pages_, *settingsPage_, *cycle_}, prompter_,
      services_.programDir);
  multiRun_ = std::make_unique<MultiRun>(
      MultiRun::Context{*treeView_, *model_, *settingsPage_, *statusBar(), services_.desktop}, prompter_,
      services_.programDir, runs_->numbering(), runDelayMs_);
  transfers_ = std::make_unique<TransferCommands>(TransferCommands::Context{
      *treeView_, *model_, *document_, *pages_, *cycle_, *runs_, prompter_, dialogs});
  foreignImports_ = std::make_unique<ForeignImportCommands>(ForeignImportCommands::Context{
      *this, *treeView_, *model_, *document_, prompter_, dialogs, emulatorDir});

  CommandRefresh* refresh = refresh_.get();
  connect(filter_.get(), &TreeFilter::matchFocused, refresh, &CommandRefresh::request);
  connect(cycle_.get(), &PageCycle::refreshRequested, refresh, &CommandRefresh::request);
  connect(colorOptions_.get(), &ColorOptions::refreshRequested, refresh, &CommandRefresh::request);
  connect(editing_.get(), &TreeEditing::refreshRequested, refresh, &CommandRefresh::request);
  connect(edits_.get(), &EditCommands::refreshRequested, refresh, &CommandRefresh::request);
  connect(runs_.get(), &RunCommands::refreshRequested, refresh, &CommandRefresh::request);
  connect(multiRun_.get(), &MultiRun::finished, refresh, &CommandRefresh::request);
  connect(transfers_.get(), &TransferCommands::refreshRequested, refresh, &CommandRefresh::request);
  connect(foreignImports_.get(), &ForeignImportCommands::refreshRequested, refresh, &CommandRefresh::request);
  connect(cycle_.get(), &PageCycle::lastUpdatedShown, this, &MainWindow::showLastUpdated);
  connect(cycle_.get(), &PageCycle::aboutToApply, clipboard_.get(), &TreeClipboard::clearMarksFor);
  connect(editing_.get(), &TreeEditing::recordsChanged, cycle_.get(), &PageCycle::ShowNodeInPages);
  connect(edits_.get(), &EditCommands::nameEdited, this, [this] { document_->setModified(true); });
}

void MainWindow::connectPages() {
  registrations_ =
      std::make_unique<SystemRegistrations>(*settingsPage_, prompter_, services_.programDir, loading_);

  connect(pages_, &ConnectionPages::edited, this, [this] {
    if (!loading_) pages_->setModified(true);
    requestRefresh();
  });
  connect(&pages_->modifiedMark(), &EditMark::changed, this, [this](bool on) {
    status_->setText(StatusPanels::Modified, on ? QStringLiteral("Modified") : QString());
  });
  connect(pages_, &ConnectionPages::refreshRequested, this, &MainWindow::requestRefresh);
  connect(settingsPage_, &SettingsPage::delayEdited, this,
          [this](int seconds) { runDelayMs_ = seconds * 1000; });
  // Before the page control changes its page the pages are brought up to date.
  connect(pageControl_, &QTabWidget::currentChanged, this, [this] {
    if (!loading_) cycle_->ShowNodeInPages();
  });
  for (QsciScintilla* editor : {&pages_->macro().editor(), &pages_->popup().editor()})
    commands_->attachContextMenu(*editor, *editor->viewport());
  QList<QWidget*> fields = settingsPage_->textFields();
  for (QWidget* field : pages_->schedule().fields()) fields.append(field);
  for (QWidget* field : fields) commands_->attachContextMenu(*field, *field);
  InputTracker::Targets targets{
      this, treeView_, {&pages_->macro().editor(), &pages_->popup().editor()}, fields};
  input_ = std::make_unique<InputTracker>(std::move(targets), *status_);
  connect(input_.get(), &InputTracker::refreshRequested, this, &MainWindow::requestRefresh);
  connect(input_.get(), &InputTracker::treeFocusLost, this, [this] {
    if (!loading_ && cycle_) cycle_->treeFocusLost();
  });
  connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
    if (state == Qt::ApplicationInactive && !loading_ && isVisible()) notifyCompanion();
  });
}

void MainWindow::createWindow() {
  ScopedFlag loading(loading_);
  storedRecentFiles_ = std::make_unique<StoredRecentFiles>(document_->recentFiles(), *store_);
  recentMenu_->show(document_->recentFiles().files());
  settingsPage_->appendToAssociationCaption(QStringLiteral("Varnok"));
  pages_->cover(QStringLiteral("N/A"));

  loadSettings();
  registrations_->show();
  start_->open(settings_.lastVnkFile, settings_.selectedNodeIndex);

  document_->setModified(false);
  setWindowTitle(QString::fromLocal8Bit(document_->caption().c_str()));
  pageControl_->setCurrentWidget(tree().top()->hasChildren() ? static_cast<QWidget*>(&pages_->macro())
                                                             : pageControl_->widget(0));
  treeView_->expand(model_->indexOf(tree().top()));
  if (settings_.selectedNodeIndex != 0) selectLastNode();
  if (!treeView_->currentIndex().isValid()) treeView_->setCurrentIndex(model_->indexOf(tree().top()));

  loading_ = false;
  pages_->setModified(false);
  input_->UpdateKeyIndicators();
  cycle_->ShowNodeInPages();
  requestRefresh();
  settings_.selectedNodeIndex = 0;
  document_->setNodeIndexToFocus(0);

  start_->askLater();
  status_->setText(StatusPanels::InsertMode, QString());
  settingsPage_->finishDoubleClickList(services_.screenLockAvailable);
}

bool MainWindow::connectionModified() const { return pages_->isModified(); }

QTreeView& MainWindow::treeView() const { return *treeView_; }

void MainWindow::requestRefresh() {
  if (refresh_) refresh_->request();
}

void MainWindow::refreshCommands() { refresh_->now(); }

TreeNode* MainWindow::focusedNode() const { return selection_->focused(); }

void MainWindow::selectNode(TreeNode* node) { selection_->select(node); }

void MainWindow::expandAll() {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  treeView_->expandBranch();
  QApplication::restoreOverrideCursor();
  requestRefresh();
}

void MainWindow::collapseAll() {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  {
    ScopedFlag quiet(loading_);
    treeView_->collapseQuietly();
  }
  // Only the top node is left to show: it takes the focus and the selection.
  selectNode(tree().top());
  cycle_->ShowNodeInPages();
  QApplication::restoreOverrideCursor();
  requestRefresh();
}

bool MainWindow::event(QEvent* event) {
  // A hovered command's tip goes to the first panel; the status bar's own
  // message would cover all eight.
  if (event->type() == QEvent::StatusTip) {
    status_->showTip(static_cast<QStatusTipEvent*>(event)->tip());
    return true;
  }
  return QMainWindow::event(event);
}

}  // namespace varnok::app
