#include "companion.h"

#include <QApplication>
#include <QFileSystemWatcher>
#include <QLabel>
#include <QMenu>
#include <QSystemTrayIcon>
#include <algorithm>
#include <filesystem>

#include "common/program_paths.h"
#include "common/run_delay.h"
#include "desktop_actions.h"
#include "due_timer.h"
#include "files/vnk_file.h"
#include "history_window.h"
#include "platform/program_names.h"
#include "platform/settings_names.h"
#include "platform/user_data_dir.h"
#include "run/emulator.h"
#include "run/node_request.h"
#include "tray_menu.h"
#include "tray_window.h"

namespace varnok::tray {
namespace {

constexpr int kReloadDelayMs = 300;
// Reload messages come in bursts (each write of the editor sends one): those
// of the next moment are served by the same reload.
constexpr int kReloadRequestDelayMs = 100;
constexpr std::size_t kMissedShown = 10;
// A scheduled run never starts later than this after its minute began.
constexpr std::int64_t kLatestStart = 60;

CompanionOptions WithClock(CompanionOptions options) {
  if (!options.clock) options.clock = &properties::SystemWallClock();
  if (!(options.clockRate > 0)) options.clockRate = 1.0;
  return options;
}

// A line for a notice or the history: line breaks of message texts become blanks.
std::string OneLine(std::string text) {
  for (char& c : text)
    if (c == '\r' || c == '\n') c = ' ';
  return text;
}

QString Local8(const std::string& text) {
  return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

std::string DefaultHistoryFile() { return platform::UserDataDir() + "/varnok-runs.log"; }

Companion::Companion(CompanionOptions options, platform::SettingsStore& settings, QObject* parent)
    : QObject(parent),
      options_(WithClock(std::move(options))),
      settings_(settings),
      tree_(std::make_unique<ConnectionTree>()),
      agenda_(options_.clock->now()),
      history_(options_.historyFile),
      numbering_(1) {
  dueTimer_ = MakeDueTimer(*options_.clock, options_.clockRate, this);
  connect(dueTimer_.get(), &DueTimer::fired, this, &Companion::checkSchedules);
  queueTimer_.setSingleShot(true);
  connect(&queueTimer_, &QTimer::timeout, this, &Companion::startNextQueued);
  pendingReload_.setSingleShot(true);
  pendingReload_.setInterval(kReloadRequestDelayMs);
  connect(&pendingReload_, &QTimer::timeout, this, &Companion::reloadIfChanged);
  reloadDelay_.setSingleShot(true);
  reloadDelay_.setInterval(kReloadDelayMs);
  connect(&reloadDelay_, &QTimer::timeout, this, &Companion::reloadIfChanged);
  watcher_ = new QFileSystemWatcher(this);
  connect(watcher_, &QFileSystemWatcher::fileChanged, this, [this] { reloadDelay_.start(); });
  connect(watcher_, &QFileSystemWatcher::directoryChanged, this, [this] { reloadDelay_.start(); });
  buildUi();
  reload();
}

Companion::~Companion() {
  // The windows have no parent: they go with the companion.
  if (window_) {
    disconnect(window_, nullptr, this, nullptr);
    delete window_;
  }
  delete historyWindow_;
}

std::int64_t Companion::now() const { return options_.clock->now(); }

QMenu* Companion::menu() const { return menu_->menu(); }

void Companion::record(const std::string& line) const {
  if (options_.record) options_.record(line);
}

void Companion::notify(const std::string& text, bool failure) {
  record("notice: " + OneLine(text));
  const QString shown = Local8(text).replace(QLatin1Char('\r'), QLatin1Char('\n'));
  if (trayIcon_)
    trayIcon_->showMessage(QStringLiteral("Varnok"), shown,
                           failure ? QSystemTrayIcon::Warning : QSystemTrayIcon::Information, 10000);
  if (window_)
    if (auto* line = window_->findChild<QLabel*>(QStringLiteral("notice"))) line->setText(shown);
  emit notified(shown);
}

void Companion::buildUi() {
  desktop_ = new DesktopActions([this] { return places(); },
                                {options_.launch, options_.launchEditor,
                                 [this](const std::string& text, bool failure) { notify(text, failure); },
                                 [this](const std::string& line) { record(line); }},
                                this);
  TrayMenuItems items;
  items.runConnection = [this](int index) { runConnection(index, RunTrigger::Manual); };
  items.openConfiguration = [this] { desktop_->openConfiguration(); };
  items.runLast = [this] { runLastConnection(); };
  items.startEmulator = [this] { desktop_->startEmulator(); };
  items.startLastMacro = [this] { desktop_->startLastMacro(lastFiles_); };
  items.showDesktop = [this] { desktop_->showDesktop(); };
  items.startScreenSaver = [this] { desktop_->startScreenSaver(); };
  items.lockScreen = [this] { desktop_->lockScreen(); };
  items.showHistory = [this] { showHistory(); };
  items.exit = [] { QCoreApplication::quit(); };
  items.canShowDesktop = DesktopActions::canShowDesktop();
  items.canStartScreenSaver = items.canLockScreen = DesktopActions::canUseScreenSaver();
  menu_ = std::make_unique<TrayMenu>(std::move(items), this);

  if (options_.useTray && QSystemTrayIcon::isSystemTrayAvailable()) {
    trayIcon_ = new QSystemTrayIcon(TrayIconPicture(), this);
    trayIcon_->setToolTip(QStringLiteral("Varnok"));
    trayIcon_->setContextMenu(menu_->menu());
    connect(trayIcon_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
      if (reason == QSystemTrayIcon::DoubleClick) doubleClickAction();
    });
    trayIcon_->show();
    record("tray: system tray");
    return;
  }
  // Without a tray the menu lives in a small window, which says why.
  window_ = ShowMenuWindow(*menu_->menu());
  // Closing the window ends the program: without a tray nothing else shows it.
  connect(window_, &QObject::destroyed, this, [] { QCoreApplication::quit(); });
  record("tray: window (" + QGuiApplication::platformName().toStdString() + ")");
}

void Companion::watchFile() {
  if (!watcher_->files().isEmpty()) watcher_->removePaths(watcher_->files());
  if (!watcher_->directories().isEmpty()) watcher_->removePaths(watcher_->directories());
  const std::string path = platform::LastVNKFile.read(settings_);
  if (path.empty()) return;
  // A save replaces the file by a rename: the folder's watch sees that.
  if (std::filesystem::exists(path)) watcher_->addPath(Local8(path));
  const std::string folder = std::filesystem::path(path).parent_path().string();
  if (!folder.empty() && std::filesystem::is_directory(folder)) watcher_->addPath(Local8(folder));
}

void Companion::reload() {
  const std::string path = platform::LastVNKFile.read(settings_);
  watchFile();
  if (path.empty()) {
    tree_ = std::make_unique<ConnectionTree>();
    loadedFile_ = {};
    menu_->setTree(tree_.get(), QStringLiteral("No configuration file is open in Varnokc"));
    agenda_.setEntries({});
    armTimer();
    record("loaded nothing");
    return;
  }
  const platform::FileIdentity before = platform::IdentifyFile(path);
  auto fresh = std::make_unique<ConnectionTree>();
  LoadResult r = LoadConfiguration(*fresh, path, false);
  if (!r.ok()) {
    std::string problem = r.message + (r.reason.empty() ? "" : " (" + r.reason + ")");
    // Said once; a repeat of the same trouble stays quiet.
    if (problem != lastLoadProblem_) {
      lastLoadProblem_ = problem;
      notify("Cannot read the configuration " + path + ": " + problem +
                 "\rThe menu keeps the connections read before.",
             true);
    }
    loadedFile_ = before;
    return;
  }
  lastLoadProblem_.clear();
  tree_ = std::move(fresh);
  loadedFile_ = r.file;
  menu_->setTree(tree_.get(), {});

  run::ScheduleCollection schedules = run::CollectSchedules(*tree_);
  std::string problems;
  for (const auto& p : schedules.problems) problems += "\r" + p.path + ": " + p.problem;
  if (!problems.empty() && problems != lastScheduleProblems_)
    notify("These schedules cannot run:" + problems, true);
  lastScheduleProblems_ = problems;
  const std::size_t scheduled = schedules.entries.size();
  agenda_.setEntries(std::move(schedules.entries));
  armTimer();
  record("loaded " + std::to_string(tree_->count() - 1) + " connections, " + std::to_string(scheduled) +
         " scheduled");
}

void Companion::reloadIfChanged() {
  if (platform::IdentifyFile(platform::LastVNKFile.read(settings_)) != loadedFile_) return reload();
  record("kept " + std::to_string(tree_->count() - 1) + " connections: the file is unchanged");
}

void Companion::requestReload() {
  // A reload running now started from its own timeout: one more is pending at most.
  if (!pendingReload_.isActive()) pendingReload_.start();
}

void Companion::armTimer() {
  std::optional<run::DueRuns> next = run::NextDueRuns(agenda_.entries(), agenda_.handledUntil());
  if (next)
    dueTimer_->arm(next->at);
  else
    dueTimer_->disarm();
}

void Companion::checkSchedules() {
  const std::int64_t at = now();
  run::AgendaStep step = agenda_.advance(at);
  if (step.clockWentBackFrom)
    addNote("The clock went back from " +
            properties::FormatCalendarMinute(properties::LocalMinuteOf(*step.clockWentBackFrom)) + " to " +
            properties::FormatCalendarMinute(properties::LocalMinuteOf(at)) +
            "; schedules go on from the new time, and minutes already run are not run again.");
  if (!step.missed.empty()) {
    std::size_t count = 0;
    std::string list;
    for (const auto& d : step.missed)
      for (std::size_t i : d.entries) {
        if (++count <= kMissedShown)
          list += "\r" + properties::FormatCalendarMinute(d.minute) + " " + agenda_.entries()[i].path;
      }
    if (count > kMissedShown || step.moreMissed) list += "\rand more";
    notify("Not run while the computer was asleep or its clock was changed:" + list, false);
  }
  // The runs of an earlier minute that have not started by now give way.
  if (!step.due.empty()) dropQueuedBefore(step.due.front().at);
  for (const auto& d : step.due)
    for (std::size_t i : d.entries)
      queue_.push_back({agenda_.entries()[i].index, agenda_.entries()[i].path, d.at});
  if (!queue_.empty() && !queueTimer_.isActive()) startNextQueued();
  if (step.nextAt)
    dueTimer_->arm(*step.nextAt);
  else
    dueTimer_->disarm();
}

void Companion::dropQueuedBefore(std::int64_t minute) {
  while (!queue_.empty() && queue_.front().minute < minute) {
    const std::int64_t dropped = queue_.front().minute;
    std::size_t count = 0;
    while (!queue_.empty() && queue_.front().minute == dropped) {
      queue_.pop_front();
      ++count;
    }
    addNote(std::to_string(count) + (count == 1 ? " scheduled run" : " scheduled runs") + " of " +
            properties::FormatCalendarMinute(properties::LocalMinuteOf(dropped)) +
            " not started: at one start every " + std::to_string(multiStartSeconds()) +
            " s, the minute's runs did not all start within a minute.");
  }
}

void Companion::addNote(const std::string& text) {
  run::RunRecord note;
  note.time = now();
  note.note = true;
  note.message = text;
  std::string error = history_.add(note);
  if (!error.empty() && error != lastHistoryError_) notify("The run log cannot be written: " + error, true);
  lastHistoryError_ = error;
  if (historyWindow_) historyWindow_->refresh();
  notify(text, false);
}

int Companion::multiStartSeconds() const {
  return RunDelaySeconds(platform::MultiStartInterval.read(settings_));
}

int Companion::multiStartMilliseconds() const {
  return static_cast<int>(multiStartSeconds() * 1000 / options_.clockRate);
}

void Companion::startNextQueued() {
  // Never more than a minute late: the rest of a minute too full is dropped.
  dropQueuedBefore(now() - kLatestStart + 1);
  if (queue_.empty()) return;
  QueuedRun next = queue_.front();
  queue_.pop_front();
  // The file may have been reloaded since the minute began: the path decides.
  const TreeNode* node = tree_->nodeAt(next.index);
  if (!node || run::ConnectionPath(node) != next.path) node = run::NodeAtPath(*tree_, next.path);
  if (node) {
    runConnection(tree_->absoluteIndex(node), RunTrigger::Scheduled);
  } else {
    run::RunRecord gone;
    gone.time = now();
    gone.path = next.path;
    gone.scheduled = true;
    gone.message = "the connection is no longer in the configuration";
    addHistory(gone);
  }
  if (!queue_.empty()) queueTimer_.start(multiStartMilliseconds());
}

void Companion::addHistory(const run::RunRecord& record) {
  std::string error = history_.add(record);
  if (!error.empty() && error != lastHistoryError_) notify("The run log cannot be written: " + error, true);
  lastHistoryError_ = error;
  this->record("run " + std::string(record.scheduled ? "scheduled " : "manual ") + record.path + ": " +
               run::RunOutcome(record));
  if (historyWindow_) historyWindow_->refresh();
}

bool Companion::runConnection(int index, RunTrigger trigger) {
  const TreeNode* node = tree_->nodeAt(index);
  if (!node || !node->parent() || node->isSeparator()) return false;
  const platform::ProgramPlaces where = places();
  run::MacroRequest request = run::RequestForNode(node, true, where.emulatorDir);
  request.userName = platform::VarName.read(settings_);
  request.userEmail = platform::VarEmail.read(settings_);
  request.userPhone = platform::VarPhone.read(settings_);
  request.disableColors = platform::NoColors.readFlag(settings_);
  run::RunEnvironment env{where, &numbering_, options_.launch};
  run::RunResult result = run::ExecuteMacro(request, env);

  const std::string path = run::ConnectionPath(node);
  std::string messages;
  for (const auto& m : result.messages) messages += (messages.empty() ? "" : " ") + OneLine(m.text);
  if (!result.started && messages.empty()) messages = "the emulator was not started";
  lastRunPath_ = path;
  if (platform::SelectLast.readFlag(settings_)) {
    // The editor opens on the connection run last.
    if (std::string e = platform::SelectedNodeIndex.write(settings_, index); !e.empty()) notify(e, true);
  }
  if (result.started) lastFiles_ = result.files;
  run::RunRecord entry;
  entry.time = now();
  entry.path = path;
  entry.scheduled = trigger == RunTrigger::Scheduled;
  entry.started = result.started;
  if (!result.started) entry.message = messages;
  // The menu offers every connection; the history says when a run played
  // only some macros of the branch (an empty one of its own runs its parents').
  if (result.started)
    if (std::string sources = run::MacroSourcePath(node); sources != path) entry.ran = std::move(sources);
  addHistory(entry);
  if (!result.started)
    notify(path + ": " + messages, true);
  else if (!messages.empty())
    notify(path + ": " + messages, false);  // started, with a warning (a folder it could not create)
  return result.started;
}

bool Companion::runLastConnection() {
  const TreeNode* node = lastRunPath_.empty() ? nullptr : run::NodeAtPath(*tree_, lastRunPath_);
  if (!node) node = tree_->nodeAt(platform::SelectedNodeIndex.read(settings_));
  if (!node || !node->parent() || node->isSeparator()) {
    notify("No connection has been run yet.", false);
    return false;
  }
  return runConnection(tree_->absoluteIndex(node), RunTrigger::Manual);
}

void Companion::doubleClickAction() {
  switch (platform::DblClickAction.read(settings_)) {
    case 1:
      return desktop_->startEmulator();
    case 2:
      return desktop_->startLastMacro(lastFiles_);
    case 3:
      return desktop_->showDesktop();
    case 4:
      return desktop_->startScreenSaver();
    case 5:
      return desktop_->lockScreen();
    default:
      return desktop_->openConfiguration();
  }
}

void Companion::showHistory() {
  if (!historyWindow_) {
    historyWindow_ = new HistoryWindow(history_);
    historyWindow_->setAttribute(Qt::WA_DeleteOnClose);
  }
  historyWindow_->refresh();
  historyWindow_->show();
  historyWindow_->raise();
  historyWindow_->activateWindow();
}

}  // namespace varnok::tray
