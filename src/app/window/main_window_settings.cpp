// Loading and saving the settings, the window geometry and the stored node
// selection.
#include <QEvent>
#include <QSplitter>
#include <QTabWidget>

#include "common/program_paths.h"
#include "pages/settings_page.h"
#include "platform/program_places.h"
#include "platform/settings_store.h"
#include "tree/tree_model.h"
#include "tree/tree_view.h"
#include "widgets/scoped_flag.h"
#include "window/main_window.h"
#include "window/window_geometry.h"

namespace varnok::app {

void MainWindow::loadSettings() {
  ScopedFlag loading(loading_);
  settings_ = LoadAppSettings(*store_, ScreenContext(*this, services_.hasCommandLineParameter));
  settingsPage_->show(settings_);
  if (!settings_.lastVnkFile.empty() && !FileExists(settings_.lastVnkFile)) settings_.lastVnkFile.clear();
  ApplyGeometry(*this, *splitter_, *treeView_, settings_);
  runDelayMs_ = RunDelaySeconds(settings_.multiStartInterval) * 1000;
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
  NarrowTreeToFit(*splitter_, *treeView_, *pageControl_);
  recordGeometry();
}

void MainWindow::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange) recordGeometry();
}

}  // namespace varnok::app
