#include "window/main_window.h"

#include <Qsci/qsciscintilla.h>

#include <QAction>
#include <QApplication>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QScreen>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTabWidget>
#include <QTreeView>
#include <filesystem>

#include "commands/command_actions.h"
#include "commands/command_snapshot.h"
#include "common/program_paths.h"
#include "common/time_stamp.h"
#include "dialogs/file_dialogs.h"
#include "pages/color_options.h"
#include "pages/connection_pages.h"
#include "pages/emulator_folder_field.h"
#include "pages/macro_page.h"
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
#include "tree/edit_commands.h"
#include "tree/name_delegate.h"
#include "tree/tree_clipboard.h"
#include "tree/tree_filter.h"
#include "tree/tree_model.h"
#include "tree/tree_selection.h"
#include "tree/tree_view.h"
#include "window/input_tracker.h"
#include "window/status_panels.h"

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
  DocumentHost& host = *this;
  // Default colours come from the emulator's settings file.
  const std::string emulatorDir =
      platform::EmulatorDirFor(services_.programDir, setting::EmulatorDir.read(*store_));
  document_ = std::make_unique<Document>(host, prompter_, *dialogs, clock, emulatorDir);

  refreshTimer_.setSingleShot(true);
  refreshTimer_.setInterval(150);
  connect(&refreshTimer_, &QTimer::timeout, this, &MainWindow::RefreshCommands);
  handOverTimer_.setSingleShot(true);
  handOverTimer_.setInterval(500);
  connect(&handOverTimer_, &QTimer::timeout, this, &MainWindow::handOverTimerFired);
  runDelayTimer_.setSingleShot(true);
  runDelayTimer_.setInterval(5000);

  buildLayout();
  PageCycleHost& cycleHost = *this;
  cycle_ = new PageCycle(cycleHost, *treeView_, *model_, *pages_, prompter_, clock, this);
  filter_ = new TreeFilter({*this, *statusBar(), *treeView_, *model_, *selection_, *cycle_, *store_}, this);
  splitter_->insertWidget(0, filter_->pane());
  splitter_->setSizes({kDesignedTreeWidth, kDesignedGeometry.width - kDesignedTreeWidth});
  connect(filter_, &TreeFilter::matchFocused, this, &MainWindow::RequestRefresh);
  colorOptions_ = new ColorOptions(
      {*settingsPage_, *pages_, *cycle_}, emulatorDir, [this] { RequestRefresh(); }, this);
  settingsPage_->emulatorFolder().setProgramDir(services_.programDir);
  settingsPage_->emulatorFolder().setChooser([dialogs](const std::string& start) {
    return dialogs->chooseFolder({"Emulator folder", "", "", start});
  });
  pages_->schedule().setPrompter(&prompter_);
  TreeEditingHost& editingHost = *this;
  editing_ = std::make_unique<TreeEditing>(editingHost, *treeView_, *model_, document_->history(), prompter_);
  // A change made outside a command (Apply, an import) keeps the view as it stands.
  document_->history().viewState = [this] { return selection_->state(); };
  auto* names = new NameDelegate(
      *model_, [this](TreeNode* node, const std::string& text) { editing_->rename(node, text); }, treeView_);
  // Naming a marked node in place ends the marks of a copy or cut.
  names->editorCreated = [this](const TreeNode* node) { clipboard_->clearMarksFor(node); };
  treeView_->setItemDelegate(names);
  treeView_->canDrop = [this](const TreeNode* target, DropMark mark) {
    return editing_->canDrop(target, mark);
  };
  treeView_->drop = [this](TreeNode* target, DropMark mark, bool copy) {
    editing_->drop(target, mark, copy);
  };
  clipboard_ = std::make_unique<TreeClipboard>(*treeView_, *model_);
  edits_ = std::make_unique<EditCommands>(
      editingHost,
      EditCommands::Context{*treeView_, *model_, *pages_, *settingsPage_, *clipboard_, document_->history()},
      prompter_, [this] { return cycle_->settleEdits(); });
  runs_ = std::make_unique<RunCommands>(
      RunCommands::Context{*treeView_, *model_, *pages_, *settingsPage_, *cycle_}, prompter_,
      services_.programDir, [this] { RequestRefresh(); });
  multiRun_ = new MultiRun(
      {*treeView_, *model_, *settingsPage_, *statusBar(), services_.desktop}, prompter_, services_.programDir,
      runs_->numbering(), [this] { return runDelayTimer_.interval(); }, this);
  connect(multiRun_, &MultiRun::finished, this, [this] { RequestRefresh(); });
  transfers_ = std::make_unique<TransferCommands>(
      editingHost, TransferCommands::Context{*treeView_, *model_, *document_, *pages_, *cycle_, *runs_},
      prompter_, *dialogs);
  foreignImports_ = std::make_unique<ForeignImportCommands>(
      ForeignImportCommands::Context{*this, *treeView_, *model_, *document_, prompter_, *dialogs,
                                     emulatorDir},
      [this] { RequestRefresh(); });
  connectCommands();
  createWindow();
}

MainWindow::~MainWindow() {
  refreshTimer_.stop();
  handOverTimer_.stop();
  delete input_;
  delete multiRun_;
  edits_.reset();
  clipboard_.reset();
  // The recent-file list goes back to the settings key with the window.
  store_->write(RecentFileWrites(document_->recentFiles().files()));
  // The model observes the document's tree, which dies before the base class
  // deletes the child objects: the model and its observers go first.
  delete cycle_;
  treeView_->setModel(nullptr);
  delete model_;
  model_ = nullptr;
}

int MainWindow::editorPointSize() const { return font().pointSize() + 1; }

void MainWindow::buildLayout() {
  // Tahoma 8 pt, one point larger on screens wider than 1024 pixels.
  const QScreen* screen = QGuiApplication::primaryScreen();
  const bool wide = screen && screen->geometry().width() > 1024;
  QFont windowFont;
  windowFont.setFamilies(
      {QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans"), QStringLiteral("Sans Serif")});
  windowFont.setPointSize(wide ? 9 : 8);
  setFont(windowFont);
  setMinimumSize(kMinWindowWidth, kMinWindowHeight);
  setGeometry(kDesignedGeometry.left, kDesignedGeometry.top, kDesignedGeometry.width,
              kDesignedGeometry.height);

  commands_ = new CommandActions(*this);
  status_ = std::make_unique<StatusPanels>(*statusBar());
  splitter_ = new QSplitter(Qt::Horizontal, this);
  splitter_->setObjectName(QStringLiteral("Splitter1"));
  splitter_->setHandleWidth(3);
  splitter_->setChildrenCollapsible(false);
  buildTree();
  buildPages();
  splitter_->addWidget(treeView_);
  splitter_->addWidget(pageControl_);
  splitter_->setStretchFactor(0, 0);
  splitter_->setStretchFactor(1, 1);
  splitter_->setSizes({kDesignedTreeWidth, kDesignedGeometry.width - kDesignedTreeWidth});
  setCentralWidget(splitter_);

  // The splitter stays at least 275 pixels from the left edge and 350 from the right.
  connect(splitter_, &QSplitter::splitterMoved, this, [this](int pos, int) {
    const int total = splitter_->width() - splitter_->handleWidth();
    const int limit = std::min(kDesignedTreeWidth, total - 350);
    if (pos < limit) splitter_->setSizes({limit, total - limit});
  });
}

void MainWindow::buildTree() {
  treeView_ = new ConnectionTreeView(splitter_);
  treeView_->setObjectName(QStringLiteral("VT"));
  treeView_->setHeaderHidden(true);
  treeView_->setUniformRowHeights(true);
  treeView_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  treeView_->setSelectionBehavior(QAbstractItemView::SelectRows);
  // F2, or a click on the focused node, names it in place.
  treeView_->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
  treeView_->setIconSize(QSize(16, 18));
  treeView_->setMinimumWidth(kMinTreeWidth);
  treeView_->setAnimated(false);
  treeView_->setExpandsOnDoubleClick(true);
  treeView_->header()->setStretchLastSection(false);
  treeView_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  const std::string computer = services_.computerName ? *services_.computerName : platform::ComputerName();
  model_ = new ConnectionTreeModel(document_->tree(), computer, this);
  treeView_->setModel(model_);
  selection_ = std::make_unique<TreeSelection>(*treeView_, *model_);
  connect(treeView_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [this] { RequestRefresh(); });
  attachContextMenu(treeView_, treeView_->viewport());
}

// The context menu shared by the tree and the text controls; it opens with
// the states of a finished refresh. `origin`: where the request's point lies.
void MainWindow::attachContextMenu(QWidget* widget, QWidget* origin) {
  widget->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(widget, &QWidget::customContextMenuRequested, this, [this, origin](const QPoint& pos) {
    RefreshCommands();
    commands_->contextMenu()->exec(origin->mapToGlobal(pos));
  });
}

void MainWindow::buildPages() {
  pageControl_ = new QTabWidget(splitter_);
  pageControl_->setObjectName(QStringLiteral("PG"));
  pageControl_->setMinimumWidth(350);
  settingsPage_ = new SettingsPage;
  // On a small window the settings page scrolls rather than squeezing its fields.
  auto* settingsScroll = new QScrollArea;
  settingsScroll->setObjectName(QStringLiteral("TabSheet1Scroll"));
  settingsScroll->setWidget(settingsPage_);
  settingsScroll->setWidgetResizable(true);
  settingsScroll->setFrameShape(QFrame::NoFrame);
  settingsScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  pageControl_->addTab(settingsScroll, QStringLiteral("Settings"));
  pages_ = new ConnectionPages(*pageControl_, editorPointSize());
  registrations_ = new SystemRegistrations(
      *settingsPage_, prompter_, services_.programDir, [this] { return loading_; }, this);

  connect(pages_, &ConnectionPages::edited, this, [this] {
    SetConnectionModified(true);
    RequestRefresh();
  });
  connect(pages_, &ConnectionPages::refreshRequested, this, &MainWindow::RequestRefresh);
  connect(settingsPage_, &SettingsPage::delayEdited, this,
          [this](int seconds) { runDelayTimer_.setInterval(seconds * 1000); });
  // Before the page control changes its page the pages are brought up to date.
  connect(pageControl_, &QTabWidget::currentChanged, this, [this] {
    if (!loading_) cycle_->ShowNodeInPages();
  });
  for (QsciScintilla* editor : {&pages_->macro().editor(), &pages_->popup().editor()})
    attachContextMenu(editor, editor->viewport());
  QList<QWidget*> fields = settingsPage_->textFields();
  for (QWidget* field : pages_->schedule().fields()) fields.append(field);
  for (QWidget* field : fields) attachContextMenu(field, field);
  InputTracker::Targets targets{
      this, treeView_, {&pages_->macro().editor(), &pages_->popup().editor()}, fields};
  input_ = new InputTracker(
      std::move(targets), *status_, [this] { RequestRefresh(); }, this);
  input_->onTreeFocusLost = [this] {
    if (!loading_ && cycle_) cycle_->treeFocusLost();
  };
  connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
    if (state == Qt::ApplicationInactive && !loading_ && isVisible()) notifyCompanion();
  });
}

void MainWindow::createWindow() {
  ScopedFlag loading(loading_);
  handOverPending_ = false;
  document_->recentFiles().assign(ReadRecentFiles(*store_));
  rebuildRecentMenu();
  settingsPage_->appendToAssociationCaption(QStringLiteral("Varnok"));
  pages_->cover(QStringLiteral("N/A"));

  LoadSettings();
  registrations_->show();
  openStartDocument();

  document_->setModified(false);
  pageControl_->setCurrentWidget(tree().top()->hasChildren() ? static_cast<QWidget*>(&pages_->macro())
                                                             : pageControl_->widget(0));
  treeView_->expand(model_->indexOf(tree().top()));
  if (settings_.selectedNodeIndex != 0) SelectLastNode();
  if (!treeView_->currentIndex().isValid()) treeView_->setCurrentIndex(model_->indexOf(tree().top()));

  loading_ = false;
  SetConnectionModified(false);
  input_->UpdateKeyIndicators();
  cycle_->ShowNodeInPages();
  RequestRefresh();
  settings_.selectedNodeIndex = 0;
  document_->setNodeIndexToFocus(0);

  if (handOverPending_) handOverTimer_.start();
  status_->setText(StatusPanels::InsertMode, QString());
  settingsPage_->finishDoubleClickList(services_.screenLockAvailable);
}

// The last file, or the one handed over at start (which then waits for its question).
void MainWindow::openStartDocument() {
  const std::string param = readParamName();
  const std::string& last = settings_.lastVnkFile;
  const std::string& file = param.empty() || !last.empty() ? last : param;
  document_->setNodeIndexToFocus(settings_.selectedNodeIndex);
  if (!file.empty() && FileExists(file)) document_->load(file);
  settings_.selectedNodeIndex = document_->nodeIndexToFocus();
  // The very file already open (a double-click on one's own configuration) is not imported into itself.
  std::error_code ec;
  const bool sameFile = !param.empty() && !last.empty() && std::filesystem::equivalent(param, last, ec);
  if (!param.empty() && !last.empty() && !sameFile) handOverPending_ = true;
  if (!param.empty() && (last.empty() || sameFile)) clearParamName();
}

// ---- status bar, refresh ----

void MainWindow::SetConnectionModified(bool on) {
  pages_->setModified(on && !loading_);
  status_->setText(StatusPanels::Modified, pages_->isModified() ? QStringLiteral("Modified") : QString());
}

bool MainWindow::IsConnectionModified() const { return pages_->isModified(); }

void MainWindow::RequestRefresh() {
  if (loading_) return;
  if (treeView_->hasFocus())
    refreshTimer_.start();  // restarts a running timer: the tree settles its focus first
  else
    RefreshCommands();
}

CommandSnapshot MainWindow::snapshot() const {
  CommandSnapshot s =
      TakeSnapshot({*treeView_, *model_, *pageControl_, *settingsPage_, *pages_}, document_->isModified());
  s.treeCanUndo = document_->history().canUndo();
  s.treeCanRedo = document_->history().canRedo();
  return s;
}

void MainWindow::RefreshCommands() {
  refreshTimer_.stop();
  const bool treeFocus = treeView_->hasFocus();
  if (treeFocus || settingsPage_->colorSupportHasFocus()) cycle_->ShowNodeInPages();
  if (treeFocus && !focusedNode()) return;
  commands_->applyAll(snapshot());

  const QString caret = pages_->focusedEditorCaret();
  if (!caret.isEmpty()) status_->setText(StatusPanels::Caret, caret);
}

// ---- tree ----

TreeNode* MainWindow::focusedNode() const { return selection_->focused(); }

void MainWindow::selectNode(TreeNode* node) { selection_->select(node); }

void MainWindow::expandAll(bool expand) {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  if (expand) {
    treeView_->expandBranch();
  } else {
    {
      // The view would report every node it collapses (asking each for its
      // flags first), and a collapsed node taking the focus would expand its
      // ancestors again, node by node. Nobody needs the reports here.
      ScopedFlag quiet(loading_);
      const QSignalBlocker noReports(treeView_);
      treeView_->collapseAll();
    }
    // Only the top node is left to show: it takes the focus and the selection.
    selectNode(tree().top());
    cycle_->ShowNodeInPages();
  }
  QApplication::restoreOverrideCursor();
  RequestRefresh();
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
