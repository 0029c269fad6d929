#pragma once
#include <QMainWindow>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app_settings.h"
#include "connection_pages.h"
#include "model/connection_tree.h"
#include "platform/executable_path.h"
#include "prompts.h"
#include "recent_files.h"

class QTabWidget;
class QTreeView;
class QSplitter;
class QModelIndex;

namespace varnok {
class Clock;
namespace platform {
class SettingsStore;
}
}  // namespace varnok

namespace varnok::app {

class CommandSet;
class ConnectionTreeModel;
class SettingsPage;
class StatusPanels;

// What the window uses from outside; tests pass scripted or temporary ones.
struct WindowServices {
  FileDialogs* dialogs = nullptr;                // nullptr: the platform's dialogs
  platform::SettingsStore* settings = nullptr;   // nullptr: the program's settings key
  const Clock* clock = nullptr;                  // nullptr: the system clock
  std::optional<bool> hasCommandLineParameter;   // nullopt: from the application's arguments
  std::optional<std::string> computerName;       // nullopt: the system's name
  bool screenLockAvailable = true;               // keeps the sixth double-click action
  std::string programDir = platform::ExecutableDir();  // emulator, companion, Temp_CVL, Logs
};

// The editor's one window: the connection tree, the pages of the focused
// connection, the document (the open configuration file) and its commands.
// Start-up and the companion messages live in startup.* and companion_link.*.
class MainWindow : public QMainWindow {
  Q_OBJECT
 public:
  explicit MainWindow(Prompter& prompter, QWidget* parent = nullptr, WindowServices services = {});
  ~MainWindow() override;

  // Caption: "Varnokc Configuration - [" + name or "Noname.VNK" + "*" when modified + "]".
  void UpdateCaption(bool modified);
  bool isDocumentModified() const;
  const std::string& currentFile() const { return currentFile_; }

  // "Modified" in the status bar: the focused connection has unapplied edits.
  void SetConnectionModified(bool on);
  bool IsConnectionModified() const;

  // Writes every setting to the settings key.
  void SaveSettings();
  // Imports a file handed over by a second start (after the user agreed).
  void ImportHandedOverFile(const std::string& path);
  // Set by the start-up code: runs when the user cancels closing the window.
  std::function<void()> onCloseCancelled;

  // Document commands (also reachable through their actions).
  // New: true when the document was replaced by an empty one.
  bool NewDocument();
  void OpenDocument();
  bool SaveDocument();
  bool SaveDocumentAs();
  void OpenRecentFile(const std::string& path);
  const RecentFiles& recentFiles() const { return recent_; }

  // Yes, No or Cancel: the apply question, then the save question.
  PromptAnswer ConfirmDiscard();

  // The connection/page cycle.
  void ShowNodeInPages();
  void CommitPages(TreeNode* node);
  void RequestRefresh();
  void RefreshCommands();
  void UpdateKeyIndicators();

  ConnectionTree& tree() { return tree_; }
  ConnectionTreeModel& treeModel() const { return *model_; }
  QTreeView& treeView() const { return *vt_; }
  TreeNode* focusedNode() const;
  // Focuses and selects one node (clearing the selection), as a click would.
  void selectNode(TreeNode* node);
  const AppSettings& settings() const { return settings_; }
  bool isLoading() const { return loading_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void changeEvent(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Sets `Loading` for its lifetime (restoring the earlier state).
  class LoadingGuard {
   public:
    explicit LoadingGuard(MainWindow& w) : w_(w), old_(w.loading_) { w_.loading_ = true; }
    ~LoadingGuard() { w_.loading_ = old_; }
    LoadingGuard(const LoadingGuard&) = delete;
    LoadingGuard& operator=(const LoadingGuard&) = delete;

   private:
    MainWindow& w_;
    bool old_;
  };

  void buildLayout();
  void connectCommands();
  void connectTree();
  void connectPages();
  void createWindow();

  // Settings.
  void LoadSettings();
  void showRegistrations();
  void connectRegistrations();
  void applyGeometry();
  void recordGeometry();
  void SelectLastNode();
  std::string readParamName();
  void clearParamName();
  void handOverTimerFired();

  // Document.
  bool loadDocument(const std::string& path);
  void clearDocument();
  void rebuildRecentMenu();
  void notifyCompanion();
  bool saveTo(const std::string& path);

  // Tree events.
  void focusChanged(const QModelIndex& current, const QModelIndex& previous);
  void nodeCollapsed(const QModelIndex& index);
  void nodesAboutToBeRemoved(const QModelIndex& parent, int first, int last);
  void applyClicked();
  void expandAll();
  void collapseAll();

  bool treeHasFocus() const;
  int selectedCount() const;
  bool isNodeSelected(const TreeNode* node) const;
  std::string nodeName(const TreeNode* node) const;
  void narrowTreeToFit();
  int editorPointSize() const;

  Prompter& prompter_;
  std::unique_ptr<FileDialogs> ownDialogs_;
  FileDialogs* dialogs_ = nullptr;
  std::unique_ptr<platform::SettingsStore> ownSettings_;
  platform::SettingsStore* store_ = nullptr;
  const Clock* clock_ = nullptr;
  WindowServices services_;

  ConnectionTree tree_;
  ConnectionTreeModel* model_ = nullptr;
  QTreeView* vt_ = nullptr;
  QSplitter* splitter_ = nullptr;
  QTabWidget* pg_ = nullptr;
  SettingsPage* settingsPage_ = nullptr;
  ConnectionPages* pages_ = nullptr;
  std::unique_ptr<StatusPanels> status_;
  CommandSet* commands_ = nullptr;
  QList<QAction*> recentActions_;

  QTimer refreshTimer_;
  QTimer handOverTimer_;
  QTimer runDelayTimer_;

  AppSettings settings_;
  RecentFiles recent_;
  std::string currentFile_;
  std::string handOverPath_;
  bool handOverPending_ = false;
  bool loading_ = false;
  bool insertMode_ = true;
  bool cutPending_ = false;
  bool pasting_ = false;
  bool documentModified_ = false;
  bool revertingFocus_ = false;
  bool closing_ = false;
  TreeNode* currentNode_ = nullptr;  // the node the pages were last loaded for
};

}  // namespace varnok::app
