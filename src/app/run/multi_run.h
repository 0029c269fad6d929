#pragma once
// "Run all selected": every selected connection's branch is run in tree order,
// one after another at the start interval, while the window stays usable.
// The nodes are collected before the first start; one removed meanwhile is
// skipped. The status bar shows "Starting 3 of 12: <name>" and a Cancel
// button (Esc cancels too) that stops the starts still to come.
#include <QObject>
#include <QTimer>
#include <vector>

#include "model/connection_tree.h"
#include "platform/desktop_windows.h"
#include "run/temp_files.h"
#include "run/tile_watch.h"

class QLabel;
class QPushButton;
class QStatusBar;
class QTreeView;

namespace varnok::app {

class ConnectionTreeModel;
class Prompter;
class SettingsPage;

class MultiRun : public QObject, private TreeObserver {
  Q_OBJECT
 public:
  // The objects of the window this class works with.
  struct Context {
    QTreeView& tree;
    ConnectionTreeModel& model;
    const SettingsPage& settingsPage;
    QStatusBar& statusBar;
    platform::DesktopWindowCalls desktop;
  };
  // `intervalMs`: the start interval as the settings page holds it now.
  MultiRun(Context context, Prompter& prompter, std::string programDir, run::TempFileNumbering& numbering,
           const int& intervalMs, QObject* parent = nullptr);
  ~MultiRun() override;

  void start();
  void cancel();
  bool active() const { return !pending_.empty() || timer_.isActive(); }

 signals:
  void finished();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void startNext();
  // All started: unless "Do not tile" is ticked, the emulators' windows are
  // tiled, and tiled again as late ones appear.
  void finish();
  void end();
  void nodesAboutToBeRemoved(TreeNode* parent, int first, int last) override;
  void treeAboutToBeReset() override;

  Context context_;
  Prompter& prompter_;
  std::string programDir_;
  run::TempFileNumbering& numbering_;
  const int& intervalMs_;
  std::vector<const TreeNode*> pending_;  // still to start, in tree order
  std::vector<int> startedPids_;          // the emulators started, for tiling
  int total_ = 0;
  int started_ = 0;
  QTimer timer_;
  TileWatch tiles_;
  QLabel* progress_ = nullptr;
  QPushButton* cancelButton_ = nullptr;
};

}  // namespace varnok::app
