#pragma once
// The companion tray program: the configuration named by "LastVNKFile" as a
// menu (in the tray, or in a small window when the desktop has no tray),
// runs started from it or by the schedules, and the history of those runs.
//
// Runs go through the core's ExecuteMacro exactly as "Run branch" does:
// the ancestors' macros first, the connection's colours and logging flag, the
// numbered temporary files of the program directory and its emulator.
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "history_window.h"
#include "model/connection_tree.h"
#include "platform/file_identity.h"
#include "platform/program_places.h"
#include "platform/settings_names.h"
#include "platform/settings_store.h"
#include "run/execute_macro.h"
#include "run/run_history.h"
#include "run/schedule_agenda.h"

class QFileSystemWatcher;
class QMenu;
class QSystemTrayIcon;

namespace varnok::tray {

class DesktopActions;
class DueTimer;
class TrayMenu;

struct CompanionOptions {
  std::string programDir;                        // the editor; with "EmulatorDir", the emulator and run files
  const properties::WallClock* clock = nullptr;  // the system's when null
  double clockRate = 1.0;                        // clock seconds per real second (a test clock runs fast)
  run::Launcher launch = platform::LaunchPrivately;      // the emulator: runs, bare start
  run::Launcher launchEditor = platform::LaunchProgram;  // "Open configuration"
  std::string historyFile;                               // the run log ("" keeps it in memory)
  bool useTray = true;                                   // false: always the window
  std::function<void(const std::string&)> record;        // a line for the test record (may be empty)
};

enum class RunTrigger { Manual, Scheduled };

struct QueuedRun {
  int index = 0;
  std::string path;
  std::int64_t minute = 0;  // first instant of the minute it was due
};

class Companion : public QObject {
  Q_OBJECT
 public:
  Companion(CompanionOptions options, platform::SettingsStore& settings, QObject* parent = nullptr);
  ~Companion() override;

  // Re-reads the settings and the configuration file. A file that cannot be
  // read leaves the last good menu; the user hears of it once.
  void reload();
  // A reload soon (0.1 s), from the event loop: requests that come while one
  // waits or runs are served by one more reload, not one each.
  void requestReload();
  // A reload when the file that LastVNKFile names is another, or another
  // version, than the one read last.
  void reloadIfChanged();

  // Runs the connection at absolute `index` now; false when it did not start.
  bool runConnection(int index, RunTrigger trigger);
  // "Run last connection": the last one run, else the stored "SelectedNodeIndex".
  bool runLastConnection();

  // The double-click action of the settings ("DblClickAction", 0..5).
  void doubleClickAction();
  void showHistory();

  QMenu* menu() const;
  QWidget* window() const { return window_; }  // the window shown without a tray (else null)
  HistoryWindow* historyWindow() const { return historyWindow_; }
  const ConnectionTree& tree() const { return *tree_; }
  const run::RunHistory& history() const { return history_; }
  const run::ScheduleAgenda& agenda() const { return agenda_; }
  // Wakes the scheduler as if its timer had fired (tests).
  void checkSchedules();

 signals:
  void notified(const QString& text);

 private:
  // Where the emulator and the run files are, with "EmulatorDir" as it is now.
  platform::ProgramPlaces places() const {
    return platform::ThisProgramPlaces(options_.programDir, platform::EmulatorDir.read(settings_));
  }
  void notify(const std::string& text, bool failure);
  void record(const std::string& line) const;
  void addHistory(const run::RunRecord& record);
  void armTimer();
  void startNextQueued();
  // Drops the queued runs of minutes before `minute` with a notice per minute.
  void dropQueuedBefore(std::int64_t minute);
  // Something the history should explain (no run): a note there and in the record.
  void addNote(const std::string& text);
  void watchFile();
  void buildUi();
  int multiStartSeconds() const;
  int multiStartMilliseconds() const;
  std::int64_t now() const;

  CompanionOptions options_;
  platform::SettingsStore& settings_;
  std::unique_ptr<ConnectionTree> tree_;
  platform::FileIdentity loadedFile_;  // the file version read last (or found unreadable)
  std::string lastLoadProblem_;
  std::string lastScheduleProblems_;
  std::string lastHistoryError_;
  run::ScheduleAgenda agenda_;
  run::RunHistory history_;
  run::TempFileNumbering numbering_;
  std::unique_ptr<DueTimer> dueTimer_;
  QTimer queueTimer_;
  std::deque<QueuedRun> queue_;  // scheduled runs of this minute still to start
  QTimer pendingReload_;
  QFileSystemWatcher* watcher_ = nullptr;
  QTimer reloadDelay_;
  DesktopActions* desktop_ = nullptr;
  std::unique_ptr<TrayMenu> menu_;
  QSystemTrayIcon* trayIcon_ = nullptr;
  QPointer<QWidget> window_;
  QPointer<HistoryWindow> historyWindow_;
  std::string lastRunPath_;
  run::TempFilePair lastFiles_;
};

// The companion's log of runs: UserDataDir()/varnok-runs.log.
std::string DefaultHistoryFile();

}  // namespace varnok::tray
