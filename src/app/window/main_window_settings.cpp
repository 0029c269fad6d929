// Loading and saving the settings, the window geometry and the stored node
// selection.
#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QSplitter>
#include <QTabWidget>
#include <QTreeView>

#include "common/program_paths.h"
#include "pages/settings_page.h"
#include "platform/settings_store.h"
#include "tree/tree_model.h"
#include "window/main_window.h"

namespace varnok::app {

namespace {

IntRect ToRect(const QRect& r) { return {r.x(), r.y(), r.width(), r.height()}; }

}  // namespace

void MainWindow::loadSettings() {
  ScopedFlag loading(loading_);
  LoadContext context;
  context.hasCommandLineParameter = services_.hasCommandLineParameter
                                        ? *services_.hasCommandLineParameter
                                        : QCoreApplication::arguments().size() > 1;
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    context.workArea = ToRect(screen->availableGeometry());
    context.screen = ToRect(screen->geometry());
  }
  context.currentWindowWidth = width();
  settings_ = LoadAppSettings(*store_, context);
  settingsPage_->show(settings_);
  if (!settings_.lastVnkFile.empty() && !FileExists(settings_.lastVnkFile)) settings_.lastVnkFile.clear();
  applyGeometry();
  runDelayTimer_.setInterval(RunDelaySeconds(settings_.multiStartInterval) * 1000);
}

void MainWindow::applyGeometry() {
  const IntRect& g = settings_.geometry;
  move(g.left, g.top);
  resize(g.width, g.height);
  const int total = splitter_->width() - splitter_->handleWidth();
  splitter_->setSizes({settings_.treeWidth, std::max(total - settings_.treeWidth, 0)});
  treeView_->resize(settings_.treeWidth, treeView_->height());
  if (settings_.maximized) setWindowState(windowState() | Qt::WindowMaximized);
}

void MainWindow::saveSettings() {
  settingsPage_->collect(settings_);
  TreeNode* focused = focusedNode();
  settings_.selectedNodeIndex = focused ? tree().absoluteIndex(focused) : 0;
  settings_.lastVnkFile = document_->currentFile();
  settings_.treeWidth = treeView_->width();
  settings_.maximized = isMaximized();
  store_->write(SettingsWrites(settings_));
  // A damaged file set aside, or settings that cannot be saved: said once, not at every deactivation.
  if (std::string notice = store_->takeNotice(); !notice.empty()) prompter_.warning(notice);
}

void MainWindow::selectLastNode() {
  if (TreeNode* node = tree().nodeAt(settings_.selectedNodeIndex)) selectNode(node);
}

// ---- geometry ----

void MainWindow::recordGeometry() {
  if (loading_ || windowState() != Qt::WindowNoState || !isVisible()) return;
  settings_.geometry = {x(), y(), width(), height()};
  settings_.treeWidth = treeView_->width();
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
  const int room = client - handle - pageControl_->width();
  if (room < treeView_->width()) {
    const int tree = std::max(room, kMinTreeWidth);
    splitter_->setSizes({tree, std::max(client - handle - tree, 0)});
  }
}

void MainWindow::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange) recordGeometry();
}

}  // namespace varnok::app
