// Loading and saving the settings, the window geometry, the stored node
// selection and the file handed over at start.
#include <QApplication>
#include <QCheckBox>
#include <QGuiApplication>
#include <QScreen>
#include <QSplitter>
#include <QSpinBox>
#include <QTreeView>

#include "common/program_paths.h"
#include "main_window.h"
#include "platform/desktop_integration.h"
#include "platform/program_names.h"
#include "platform/settings_store.h"
#include "settings_page.h"
#include "tree_model.h"

namespace varnok::app {

namespace {

IntRect ToRect(const QRect& r) { return {r.x(), r.y(), r.width(), r.height()}; }

}  // namespace

void MainWindow::LoadSettings() {
  LoadingGuard guard(*this);
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
  vt_->resize(settings_.treeWidth, vt_->height());
  if (settings_.maximized) setWindowState(windowState() | Qt::WindowMaximized);
}

void MainWindow::SaveSettings() {
  settingsPage_->collect(settings_);
  TreeNode* focused = focusedNode();
  settings_.selectedNodeIndex = focused ? tree_.AbsoluteIndex(focused) : 0;
  settings_.lastVnkFile = currentFile_;
  settings_.treeWidth = vt_->width();
  settings_.maximized = isMaximized();
  store_->write(SettingsWrites(settings_));
}

void MainWindow::SelectLastNode() {
  TreeNode* node = tree_.NodeAt(settings_.selectedNodeIndex);
  if (!node) return;
  selectNode(node);
}

namespace {

std::string CompanionPath(const std::string& programDir) { return ProgramFilePath(programDir, names::kCompanionFile); }

std::string EditorPath() { return QCoreApplication::applicationFilePath().toLocal8Bit().toStdString(); }

// The executable's name without extension, the first letter kept, the rest lower case.
std::string ApplicationTitle() {
  std::string name = FileNameOf(EditorPath());
  if (const auto dot = name.rfind('.'); dot != std::string::npos && dot > 0) name.erase(dot);
  for (std::size_t i = 1; i < name.size(); ++i)
    name[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(name[i])));
  return name;
}

}  // namespace

void MainWindow::showRegistrations() {
  settingsPage_->cbAssociate->setChecked(platform::IsVnkAssociated(EditorPath()));
  settingsPage_->cbRunAtLogOn->setChecked(platform::IsRunAtLogOn(CompanionPath(services_.programDir)));
}

void MainWindow::connectRegistrations() {
  connect(settingsPage_->cbRunAtLogOn, &QCheckBox::clicked, this, [this](bool on) {
    if (on == platform::IsRunAtLogOn(CompanionPath(services_.programDir))) return;
    const std::string error = platform::SetRunAtLogOn(on, CompanionPath(services_.programDir));
    if (!error.empty()) {
      prompter_.error(error);
      settingsPage_->cbRunAtLogOn->setChecked(platform::IsRunAtLogOn(CompanionPath(services_.programDir)));
    }
  });
  connect(settingsPage_->cbAssociate, &QCheckBox::clicked, this, [this](bool on) {
    if (loading_) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const std::string error = platform::SetVnkAssociation(on, EditorPath(), ApplicationTitle());
    QApplication::restoreOverrideCursor();
    if (!error.empty()) {
      prompter_.error(error);
      settingsPage_->cbAssociate->setChecked(platform::IsVnkAssociated(EditorPath()));
    }
  });
}

std::string MainWindow::readParamName() { return setting::ParamName.read(*store_); }

void MainWindow::clearParamName() { setting::ParamName.write(*store_, std::string()); }

void MainWindow::handOverTimerFired() {
  handOverTimer_.stop();
  handOverPending_ = false;
  const std::string path = readParamName();
  if (!path.empty() && FileExists(path)) {
    const PromptAnswer a = prompter_.ask(PromptKind::Confirmation, PromptButtons::YesNo,
                                         "Do you want to import file " + DisplayName(path) + " into " + "Varnokc" + "?");
    if (a == PromptAnswer::Yes) ImportHandedOverFile(path);
  }
  clearParamName();
}

}  // namespace varnok::app
