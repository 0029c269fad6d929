#include "window_fixture_qt.h"

#include <QAction>
#include <QTest>

#include "common/stored_text.h"
#include "files/vnk_file.h"
#include "platform/posix/settings_file.h"

namespace varnok::test {

WindowFixture::WindowFixture() : settings_(platform::OpenSettingsFile(dir.file("Varnok.conf"))) {}

WindowFixture::~WindowFixture() { destroy(); }

app::MainWindow& WindowFixture::open(app::WindowServices extra) {
  destroy();
  if (!extra.dialogs) extra.dialogs = &dialogs;
  if (!extra.settings) extra.settings = settings_.get();
  if (!extra.clock) extra.clock = &clock;
  if (!extra.hasCommandLineParameter) extra.hasCommandLineParameter = false;
  if (!extra.computerName) extra.computerName = "testhost";
  if (extra.programDir == app::WindowServices{}.programDir) extra.programDir = programDir;
  window_ = std::make_unique<app::MainWindow>(prompter, nullptr, extra);
  return *window_;
}

app::MainWindow& WindowFixture::openActive(app::WindowServices extra) {
  app::MainWindow& w = open(std::move(extra));
  w.show();
  w.activateWindow();
  if (!QTest::qWaitForWindowActive(&w)) qWarning("window not active");
  return w;
}

app::MainWindow& WindowFixture::openActiveOn(const std::vector<std::string>& entries,
                                             app::WindowServices extra) {
  const std::string file = dir.file("T.vnk");
  WriteVnk(file, entries);
  settings().writeString("LastVNKFile", file);
  return openActive(std::move(extra));
}

bool Trigger(app::MainWindow& w, const char* name) {
  w.refreshCommands();
  auto* action = w.findChild<QAction*>(QString::fromLatin1(name));
  if (!action || !action->isEnabled()) return false;
  action->trigger();
  return true;
}

void WindowFixture::destroy() {
  if (!window_) return;
  window_->hide();
  window_.reset();
}

void WriteVnk(const std::string& path, const std::vector<std::string>& entries) {
  ConnectionTree tree;
  std::vector<TreeNode*> lastAtLevel{tree.top()};
  for (const std::string& entry : entries) {
    const auto c1 = entry.find(':');
    const auto c2 = entry.find(':', c1 + 1);
    const int level = std::stoi(entry.substr(0, c1));
    rVTNodeData data;
    data.Name = entry.substr(c1 + 1, c2 - c1 - 1);
    data.Macro = EncodeText(entry.substr(c2 + 1));
    data.Colors = "0:0:0:255:255:255:0:0:0:255:255:255:0:0:0:255:255:255";
    data.StartLogging = true;
    TreeNode* parent = lastAtLevel[static_cast<std::size_t>(level - 1)];
    TreeNode* node = tree.insert(parent, parent->childCount(), ConnectionTree::newNode(data));
    lastAtLevel.resize(static_cast<std::size_t>(level));
    lastAtLevel.push_back(node);
  }
  SaveConfiguration(tree, path);
}

}  // namespace varnok::test
