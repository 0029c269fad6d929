#pragma once
#include <QMainWindow>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "dialogs/prompts.h"
#include "document/document.h"
#include "pages/app_settings.h"
#include "platform/desktop_windows.h"
#include "platform/executable_path.h"
#include "platform/launcher.h"
#include "window/page_edits.h"

class QTabWidget;
class QTreeView;
class QSplitter;

namespace varnok {
class Clock;
}
namespace varnok::platform {
class SettingsStore;
}

namespace varnok::app {

class ColorOptions;
class CommandActions;
class CommandRefresh;
class ConnectionPages;
class EditCommands;
class MultiRun;
class ProgressWork;
class RunCommands;
class TransferCommands;
class ForeignImportCommands;
class TreeClipboard;
class ConnectionTreeModel;
class ConnectionTreeView;
class InputTracker;
class PageCycle;
class TreeEditing;
class RecentFilesMenu;
class StartDocument;
class StoredRecentFiles;
class SettingsPage;
class StatusPanels;
class SystemRegistrations;
class TreeFilter;
class TreeSelection;

// What the window uses from outside; tests pass scripted or temporary ones.
struct WindowServices {
  FileDialogs* dialogs = nullptr;                      // nullptr: the platform's dialogs
  platform::SettingsStore* settings = nullptr;         // nullptr: the program's settings key
  const Clock* clock = nullptr;                        // nullptr: the system clock
  std::optional<bool> hasCommandLineParameter;         // nullopt: from the application's arguments
  std::optional<std::string> computerName;             // nullopt: the system's name
  bool screenLockAvailable = true;                     // keeps the sixth double-click action
  std::string programDir = platform::ExecutableDir();  // emulator, companion, Temp_CVL, Logs
  // Opens a help file or a link with the desktop's opener.
  std::function<platform::LaunchResult(const std::string&)> openDocument = platform::OpenDocument;
  // Minimising and tiling windows around "Run all selected".
  platform::DesktopWindowCalls desktop;
};

// The editor's one window. It composes the document, the tree view, the
// pages, the command actions and the status bar, and wires the helpers'
// signals to each other. Start-up and the companion messages live in
// startup.* and companion_link.*.
class MainWindow : public QMainWindow {
  Q_OBJECT
 public:
  explicit MainWindow(Prompter& prompter, QWidget* parent = nullptr, WindowServices services = {});
  ~MainWindow() override;

  Document& document() { return *document_; }
  // Runs long imports and pastes with a progress window.
  ProgressWork& progressWork() { return *longWork_; }
  ConnectionTree& tree() { return document_->tree(); }
  bool isDocumentModified() const { return document_->isModified(); }
  const std::string& currentFile() const { return document_->currentFile(); }
  const RecentFiles& recentFiles() const { return document_->recentFiles(); }
  // Imports a file handed over by a second start (after the user agreed).
  void importHandedOverFile(const std::string& path);
  // "VarnokcStopMessage": closes with the usual questions, shown first when
  // there is unsaved work to ask about.
  void closeOnRequest();

  // The pages of the focused connection; "Modified" in the status bar is
  // their unapplied-edits mark.
  ConnectionPages& connectionPages() const { return *pages_; }
  bool connectionModified() const;

  // Writes every setting to the settings key.
  void saveSettings();

  void requestRefresh();
  void refreshCommands();

  ConnectionTreeModel& treeModel() const { return *model_; }
  QTreeView& treeView() const;
  TreeFilter& treeFilter() const { return *filter_; }
  TreeNode* focusedNode() const;
  // Focuses and selects one node (clearing the selection), as a click would.
  void selectNode(TreeNode* node);

 signals:
  // The user cancelled closing the window (the companion is started again).
  void closeCancelled();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void changeEvent(QEvent* event) override;
  bool event(QEvent* event) override;

 private:
  void buildLayout();
  // The helpers made once the layout stands, and their signals.
  void createHelpers(FileDialogs& dialogs, const Clock& clock, const std::string& emulatorDir);
  // The pages' signals, the input tracking and the system registrations.
  void connectPages();
  // The document's signals: caption, recent files, replaced tree, saves.
  void connectDocument();
  // The window's own commands; the others are set by CommandHandlers.
  void connectCommands();
  void createWindow();

  // Settings.
  void loadSettings();
  void recordGeometry();
  void selectLastNode();

  void expandAll();
  void collapseAll();
  void documentReplaced(TreeNode* focus);
  // Settings written, then the companion told.
  void notifyCompanion();
  void showLastUpdated(const QString& stamp);

  Prompter& prompter_;
  std::unique_ptr<FileDialogs> ownDialogs_;
  std::unique_ptr<platform::SettingsStore> ownSettings_;
  platform::SettingsStore* store_ = nullptr;
  WindowServices services_;
  AppSettings settings_;
  bool loading_ = false;
  int runDelayMs_ = 5000;  // "Run all selected": the interval between starts

  PageEdits pageEdits_;
  std::unique_ptr<Document> document_;
  std::unique_ptr<StoredRecentFiles> storedRecentFiles_;
  // The window's widgets are its children and go last, with the base class.
  ConnectionTreeView* treeView_ = nullptr;
  QSplitter* splitter_ = nullptr;
  QTabWidget* pageControl_ = nullptr;
  SettingsPage* settingsPage_ = nullptr;
  ConnectionPages* pages_ = nullptr;
  CommandActions* commands_ = nullptr;
  RecentFilesMenu* recentMenu_ = nullptr;
  ProgressWork* longWork_ = nullptr;  // used by the document and the clipboard
  std::unique_ptr<StatusPanels> status_;
  // The helpers, torn down in the reverse order: each goes before what it
  // uses, and the model (which observes the document's tree) before the document.
  std::unique_ptr<ConnectionTreeModel> model_;
  std::unique_ptr<TreeSelection> selection_;
  std::unique_ptr<PageCycle> cycle_;
  std::unique_ptr<TreeClipboard> clipboard_;
  std::unique_ptr<TreeFilter> filter_;  // its pane is one of the window's widgets
  std::unique_ptr<ColorOptions> colorOptions_;
  std::unique_ptr<TreeEditing> editing_;
  std::unique_ptr<EditCommands> edits_;
  std::unique_ptr<RunCommands> runs_;
  std::unique_ptr<MultiRun> multiRun_;
  std::unique_ptr<TransferCommands> transfers_;
  std::unique_ptr<ForeignImportCommands> foreignImports_;
  std::unique_ptr<SystemRegistrations> registrations_;
  std::unique_ptr<InputTracker> input_;
  std::unique_ptr<StartDocument> start_;
  std::unique_ptr<CommandRefresh> refresh_;
};

}  // namespace varnok::app
