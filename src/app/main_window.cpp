#include "main_window.h"

#include <Qsci/qsciscintilla.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QScreen>
#include <QScrollArea>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QTreeView>

#include "command_set.h"
#include "common/program_paths.h"
#include "common/time_stamp.h"
#include "file_dialogs.h"
#include "platform/settings_store.h"
#include "platform/system_info.h"
#include "prompts.h"
#include "settings_page.h"
#include "status_panels.h"
#include "tree_model.h"

namespace varnok::app {

MainWindow::MainWindow(Prompter& prompter, QWidget* parent, WindowServices services)
    : QMainWindow(parent), prompter_(prompter), services_(std::move(services)) {
  setObjectName(QStringLiteral("Form1"));
  dialogs_ = services_.dialogs;
  if (!dialogs_) {
    ownDialogs_ = MakeQtFileDialogs(this);
    dialogs_ = ownDialogs_.get();
  }
  store_ = services_.settings;
  if (!store_) {
    ownSettings_ = platform::OpenVarnokSettings();
    store_ = ownSettings_.get();
  }
  clock_ = services_.clock ? services_.clock : &SystemClock();

  refreshTimer_.setSingleShot(true);
  refreshTimer_.setInterval(150);
  connect(&refreshTimer_, &QTimer::timeout, this, &MainWindow::RefreshCommands);
  handOverTimer_.setSingleShot(true);
  handOverTimer_.setInterval(500);
  connect(&handOverTimer_, &QTimer::timeout, this, &MainWindow::handOverTimerFired);
  runDelayTimer_.setSingleShot(true);
  runDelayTimer_.setInterval(5000);

  buildLayout();
  connectCommands();
  connectTree();
  connectPages();
  connectRegistrations();
  createWindow();
}

MainWindow::~MainWindow() {
  refreshTimer_.stop();
  handOverTimer_.stop();
  qApp->removeEventFilter(this);
  // The recent-file list goes back to the settings key with the window.
  store_->write(RecentFileWrites(recent_.files()));
  // The model observes tree_, a member that dies before the base class
  // deletes the child objects: the model goes first, without telling us.
  if (QItemSelectionModel* selection = vt_->selectionModel()) selection->disconnect(this);
  model_->disconnect(this);
  delete model_;
  model_ = nullptr;
}

int MainWindow::editorPointSize() const { return font().pointSize() + 1; }

void MainWindow::buildLayout() {
  // Tahoma 8 pt, one point larger on screens wider than 1024 pixels.
  const QScreen* screen = QGuiApplication::primaryScreen();
  const bool wide = screen && screen->geometry().width() > 1024;
  QFont windowFont;
  windowFont.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans"), QStringLiteral("Sans Serif")});
  windowFont.setPointSize(wide ? 9 : 8);
  setFont(windowFont);
  setMinimumSize(kMinWindowWidth, kMinWindowHeight);
  setGeometry(kDesignedGeometry.left, kDesignedGeometry.top, kDesignedGeometry.width, kDesignedGeometry.height);

  commands_ = new CommandSet(*this);
  status_ = std::make_unique<StatusPanels>(*statusBar());

  splitter_ = new QSplitter(Qt::Horizontal, this);
  splitter_->setObjectName(QStringLiteral("Splitter1"));
  splitter_->setHandleWidth(3);
  splitter_->setChildrenCollapsible(false);

  vt_ = new QTreeView(splitter_);
  vt_->setObjectName(QStringLiteral("VT"));
  vt_->setHeaderHidden(true);
  vt_->setUniformRowHeights(true);
  vt_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  vt_->setSelectionBehavior(QAbstractItemView::SelectRows);
  vt_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  vt_->setIconSize(QSize(16, 18));
  vt_->setMinimumWidth(kMinTreeWidth);
  vt_->setAnimated(false);
  vt_->setExpandsOnDoubleClick(false);
  vt_->header()->setStretchLastSection(false);
  vt_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  const std::string computer = services_.computerName ? *services_.computerName : platform::ComputerName();
  model_ = new ConnectionTreeModel(tree_, computer, this);
  model_->setCutMarked([](const TreeNode*) { return false; });
  vt_->setModel(model_);

  pg_ = new QTabWidget(splitter_);
  pg_->setObjectName(QStringLiteral("PG"));
  pg_->setMinimumWidth(350);
  settingsPage_ = new SettingsPage;
  // On a small window the settings page scrolls rather than squeezing its fields.
  auto* settingsScroll = new QScrollArea;
  settingsScroll->setObjectName(QStringLiteral("TabSheet1Scroll"));
  settingsScroll->setWidget(settingsPage_);
  settingsScroll->setWidgetResizable(true);
  settingsScroll->setFrameShape(QFrame::NoFrame);
  settingsScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  pg_->addTab(settingsScroll, QStringLiteral("Settings"));
  pages_ = new ConnectionPages(*pg_, editorPointSize());

  splitter_->addWidget(vt_);
  splitter_->addWidget(pg_);
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

void MainWindow::connectCommands() {
  auto& b = commands_->buttons;
  auto& m = commands_->menu;
  auto both = [this](QAction* button, QAction* item, auto slot) {
    connect(button, &QAction::triggered, this, slot);
    if (item) connect(item, &QAction::triggered, this, slot);
  };
  both(b.newFile, m.newFile, [this] { NewDocument(); });
  both(b.open, m.open, [this] { OpenDocument(); });
  both(b.save, m.save, [this] { SaveDocument(); });
  both(b.saveAs, m.saveAs, [this] { SaveDocumentAs(); });
  both(b.apply, m.apply, [this] { applyClicked(); });
  connect(m.close, &QAction::triggered, this, &QWidget::close);
  connect(m.expandAll, &QAction::triggered, this, &MainWindow::expandAll);
  connect(m.collapseAll, &QAction::triggered, this, &MainWindow::collapseAll);

  // Commands whose work arrives with later features stay disabled.
  for (QAction* a : {b.addChild, b.addSibling, b.remove, b.moveUp, b.moveDown, b.undo, b.cut, b.copy, b.paste,
                     b.runToCursor, b.run, b.runBranchToCursor, b.runBranch})
    a->setEnabled(false);
  for (QAction* a : {m.importConnection, m.exportConnection, m.importTemplateMenu, m.importMacro, m.exportMacro,
                     m.selectAll, m.duplicate, m.addSeparator, m.runAllSelected, m.showPopup, m.corvaneHelp,
                     m.macroHelp, m.license, m.about})
    a->setEnabled(false);
  commands_->copyButtonStatesToMenus();
  for (QMenu* menu : {commands_->fileMenu, commands_->editMenu, commands_->connectionMenu, commands_->actionsMenu})
    connect(menu, &QMenu::aboutToShow, this, [this] { commands_->copyButtonStatesToMenus(); });
}

void MainWindow::connectTree() {
  connect(vt_->selectionModel(), &QItemSelectionModel::currentChanged, this, &MainWindow::focusChanged);
  connect(vt_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { RequestRefresh(); });
  connect(vt_, &QTreeView::collapsed, this, &MainWindow::nodeCollapsed);
  connect(model_, &QAbstractItemModel::rowsAboutToBeRemoved, this, &MainWindow::nodesAboutToBeRemoved);
  connect(model_, &QAbstractItemModel::modelAboutToBeReset, this, [this] { currentNode_ = nullptr; });
}

void MainWindow::connectPages() {
  for (QsciScintilla* editor : {pages_->memo1, pages_->memo2}) {
    connect(editor, &QsciScintilla::textChanged, this, [this, editor] {
      if (!editor->hasFocus() || loading_) return;
      SetConnectionModified(true);
      RequestRefresh();
    });
  }
  connect(pages_->cbLogSession, &QCheckBox::clicked, this, [this] {
    SetConnectionModified(true);
    RequestRefresh();
  });
  connect(settingsPage_->seDelay, &QSpinBox::editingFinished, this, [this] {
    runDelayTimer_.setInterval(settingsPage_->seDelay->value() * 1000);
  });
  // Before the page control changes its page the pages are brought up to date.
  connect(pg_, &QTabWidget::currentChanged, this, [this] {
    if (!loading_) ShowNodeInPages();
  });
  // The window sees key, mouse and focus events of its controls first.
  qApp->installEventFilter(this);
  connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
    if (state == Qt::ApplicationInactive && !loading_ && isVisible()) notifyCompanion();
  });
}

void MainWindow::createWindow() {
  LoadingGuard guard(*this);
  currentFile_.clear();
  handOverPending_ = false;
  insertMode_ = true;
  pasting_ = false;
  cutPending_ = false;
  recent_.assign(ReadRecentFiles(*store_));
  rebuildRecentMenu();

  settingsPage_->cbAssociate->setText(settingsPage_->cbAssociate->text() + QStringLiteral("Varnok"));
  pages_->cover(QStringLiteral("N/A"));

  LoadSettings();
  showRegistrations();
  // Open the document: the last file, or the one handed over at start.
  const std::string param = readParamName();
  const std::string& last = settings_.lastVnkFile;
  if (param.empty()) {
    if (!last.empty() && FileExists(last)) loadDocument(last);
  } else if (!last.empty()) {
    if (FileExists(last)) loadDocument(last);
    handOverPending_ = true;
  } else {
    if (FileExists(param)) loadDocument(param);
    clearParamName();
  }

  UpdateCaption(false);
  pg_->setCurrentWidget(tree_.Top()->hasChildren() ? pages_->ts1 : pg_->widget(0));
  vt_->expand(model_->indexOf(tree_.Top()));
  if (settings_.selectedNodeIndex != 0) SelectLastNode();
  if (!vt_->currentIndex().isValid()) vt_->setCurrentIndex(model_->indexOf(tree_.Top()));

  loading_ = false;
  SetConnectionModified(false);
  UpdateKeyIndicators();
  ShowNodeInPages();
  RequestRefresh();
  settings_.selectedNodeIndex = 0;

  if (handOverPending_) handOverTimer_.start();
  status_->setText(StatusPanels::InsertMode, QString());
  settingsPage_->finishDoubleClickList(services_.screenLockAvailable);
}

// ---- caption, status bar, refresh ----

void MainWindow::UpdateCaption(bool modified) {
  documentModified_ = modified;
  const std::string name = currentFile_.empty() ? std::string("Noname.VNK") : DisplayName(currentFile_);
  const std::string caption = "Varnokc Configuration - [" + name + (modified ? "*" : "") + "]";
  setWindowTitle(QString::fromLocal8Bit(caption.c_str()));
}

bool MainWindow::isDocumentModified() const { return documentModified_; }

void MainWindow::SetConnectionModified(bool on) {
  status_->setText(StatusPanels::Modified, on && !loading_ ? QStringLiteral("Modified") : QString());
}

bool MainWindow::IsConnectionModified() const { return !status_->text(StatusPanels::Modified).isEmpty(); }

void MainWindow::UpdateKeyIndicators() {
  const platform::LockKeys keys = platform::LockKeyState();
  status_->setText(StatusPanels::Num, keys.num ? QStringLiteral("NUM") : QString());
  status_->setText(StatusPanels::Caps, keys.caps ? QStringLiteral("CAPS") : QString());
  status_->setText(StatusPanels::Scroll, keys.scroll ? QStringLiteral("SCROLL") : QString());
}

bool MainWindow::treeHasFocus() const { return vt_->hasFocus(); }

void MainWindow::RequestRefresh() {
  if (loading_) return;
  if (treeHasFocus()) {
    refreshTimer_.start();  // restarts a running timer
  } else {
    RefreshCommands();
  }
}

void MainWindow::RefreshCommands() {
  refreshTimer_.stop();
  const bool treeFocus = treeHasFocus();
  if (treeFocus || settingsPage_->cbNoColors->hasFocus()) ShowNodeInPages();
  TreeNode* focused = focusedNode();
  if (treeFocus && !focused) return;

  auto& b = commands_->buttons;
  const bool hasChildren = tree_.Top()->hasChildren();
  b.newFile->setEnabled(hasChildren);
  b.save->setEnabled(isDocumentModified());
  b.saveAs->setEnabled(hasChildren);
  b.open->setEnabled(true);
  b.apply->setEnabled(IsConnectionModified() && focused);
  commands_->copyButtonStatesToMenus();

  QsciScintilla* editor = pages_->memo1->hasFocus() ? pages_->memo1 : pages_->memo2->hasFocus() ? pages_->memo2 : nullptr;
  if (editor) {
    int line = 0, index = 0;
    editor->getCursorPosition(&line, &index);
    status_->setText(StatusPanels::Caret, QStringLiteral("Ln. %1, Col. %2").arg(line + 1).arg(index + 1));
  }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (watched == qApp || !watched->isWidgetType()) return QMainWindow::eventFilter(watched, event);
  auto* widget = static_cast<QWidget*>(watched);
  // Mouse events of the editors and the tree arrive at their viewports.
  if (type == QEvent::MouseButtonRelease && widget->parentWidget() &&
      (widget->parentWidget() == pages_->memo1 || widget->parentWidget() == pages_->memo2 || widget->parentWidget() == vt_))
    widget = widget->parentWidget();
  const bool textField = widget == pages_->memo1 || widget == pages_->memo2 || widget == settingsPage_->edit1 ||
                         widget == settingsPage_->edit2 || widget == settingsPage_->edit3;
  if (type == QEvent::KeyRelease && (widget == this || isAncestorOf(widget))) {
    // The window sees every key release first.
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_CapsLock || key == Qt::Key_NumLock || key == Qt::Key_ScrollLock) UpdateKeyIndicators();
    RequestRefresh();
  }
  if (type == QEvent::KeyPress && textField) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Insert && (key->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) == 0) {
      insertMode_ = !insertMode_;
      pages_->memo1->setOverwriteMode(!insertMode_);
      pages_->memo2->setOverwriteMode(!insertMode_);
      status_->setText(StatusPanels::InsertMode, insertMode_ ? QStringLiteral("INS") : QStringLiteral("OVR"));
      if (widget == pages_->memo1 || widget == pages_->memo2) return true;  // already switched above
    }
  }
  if (type == QEvent::FocusIn && (textField || widget == vt_)) {
    status_->setText(StatusPanels::InsertMode, textField ? (insertMode_ ? QStringLiteral("INS") : QStringLiteral("OVR"))
                                                         : QString());
    RequestRefresh();
  }
  if (type == QEvent::FocusOut && (widget == pages_->memo1 || widget == pages_->memo2)) {
    status_->setText(StatusPanels::InsertMode, QString());
    status_->setText(StatusPanels::Caret, QString());
    RequestRefresh();
  }
  if (type == QEvent::MouseButtonRelease && (textField || widget == vt_)) RequestRefresh();
  return QMainWindow::eventFilter(watched, event);
}

// ---- geometry ----

void MainWindow::recordGeometry() {
  if (loading_ || windowState() != Qt::WindowNoState || !isVisible()) return;
  settings_.geometry = {x(), y(), width(), height()};
  settings_.treeWidth = vt_->width();
}

void MainWindow::moveEvent(QMoveEvent* event) {
  QMainWindow::moveEvent(event);
  recordGeometry();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  narrowTreeToFit();
  recordGeometry();
}

void MainWindow::narrowTreeToFit() {
  // When the pages cannot give way any more, the tree narrows, down to 215.
  const int client = splitter_->width();
  const int handle = splitter_->handleWidth();
  const int room = client - handle - pg_->width();
  if (room < vt_->width()) {
    const int tree = std::max(room, kMinTreeWidth);
    splitter_->setSizes({tree, std::max(client - handle - tree, 0)});
  }
}

void MainWindow::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange) recordGeometry();
}

// ---- tree helpers ----

TreeNode* MainWindow::focusedNode() const { return model_->node(vt_->currentIndex()); }

int MainWindow::selectedCount() const {
  int count = 0;
  for (const QItemSelectionRange& range : vt_->selectionModel()->selection()) count += range.height();
  return count;
}

bool MainWindow::isNodeSelected(const TreeNode* node) const {
  return node && vt_->selectionModel()->isSelected(model_->indexOf(node));
}

std::string MainWindow::nodeName(const TreeNode* node) const { return node ? node->name() : std::string(); }

void MainWindow::selectNode(TreeNode* node) {
  const QModelIndex index = model_->indexOf(node);
  for (QModelIndex p = index.parent(); p.isValid(); p = p.parent()) vt_->expand(p);
  vt_->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
  vt_->scrollTo(index);
}

void MainWindow::nodesAboutToBeRemoved(const QModelIndex& parent, int first, int last) {
  TreeNode* p = model_->node(parent);
  if (!p || !currentNode_) return;
  for (int row = first; row <= last; ++row) {
    TreeNode* n = p->child(row);
    if (n == currentNode_ || n->isAncestorOf(currentNode_)) currentNode_ = nullptr;
  }
}

void MainWindow::expandAll() {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  vt_->expandAll();
  QApplication::restoreOverrideCursor();
  RequestRefresh();
}

void MainWindow::collapseAll() {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  vt_->collapseAll();
  QApplication::restoreOverrideCursor();
  RequestRefresh();
}

}  // namespace varnok::app
