#include "run/multi_run.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QTreeView>
#include <algorithm>

#include "dialogs/prompts.h"
#include "pages/app_settings.h"
#include "pages/settings_page.h"
#include "run/execute_macro.h"
#include "run/node_request.h"
#include "run/run_commands.h"
#include "tree/tree_model.h"
#include "tree/tree_selection.h"

namespace varnok::app {

namespace {

constexpr int kMaxTempFiles = 128;
// How long at least the started emulators' windows are waited for after the
// last start's wait; a longer start interval waits as long as the interval.
constexpr int kLeastTileWatchMs = 10000;

}  // namespace

MultiRun::MultiRun(Context context, Prompter& prompter, std::string programDir,
                   run::TempFileNumbering& numbering, const int& intervalMs, QObject* parent)
    : QObject(parent),
      context_(context),
      prompter_(prompter),
      programDir_(std::move(programDir)),
      numbering_(numbering),
      intervalMs_(intervalMs),
      tiles_(context_.desktop) {
  timer_.setSingleShot(true);
  connect(&timer_, &QTimer::timeout, this, &MultiRun::startNext);
  progress_ = new QLabel;
  progress_->setObjectName(QStringLiteral("MultiRunProgress"));
  cancelButton_ = new QPushButton(QStringLiteral("Cancel"));
  cancelButton_->setObjectName(QStringLiteral("MultiRunCancel"));
  cancelButton_->setFocusPolicy(Qt::NoFocus);
  connect(cancelButton_, &QPushButton::clicked, this, &MultiRun::cancel);
  context_.statusBar.addPermanentWidget(progress_);
  context_.statusBar.addPermanentWidget(cancelButton_);
  progress_->hide();
  cancelButton_->hide();
  context_.model.tree().addObserver(this);
}

MultiRun::~MultiRun() {
  qApp->removeEventFilter(this);
  context_.model.tree().removeObserver(this);
}

void MultiRun::start() {
  if (active()) return;
  const ConnectionTree& tree = context_.model.tree();
  std::vector<std::pair<int, const TreeNode*>> chosen;
  for (TreeNode* n : TreeSelection(context_.tree, context_.model).selectedNodes())
    if (n->parent()) chosen.emplace_back(tree.absoluteIndex(n), n);
  if (chosen.size() > static_cast<std::size_t>(kMaxTempFiles)) {
    prompter_.information("You can not run more than " + std::to_string(kMaxTempFiles) +
                          " connections at the same time.");
    return;
  }
  // Tree order: a parent before its children, a branch before the next one.
  std::sort(chosen.begin(), chosen.end());
  pending_.clear();
  for (const auto& [index, node] : chosen) pending_.push_back(node);
  total_ = static_cast<int>(pending_.size());
  started_ = 0;
  if (pending_.empty()) return;
  tiles_.stop();  // the last command's windows are not tiled over this one's
  startedPids_.clear();
  // The desktop is cleared for the new windows (where it offers the call).
  context_.desktop.minimizeOthers(static_cast<int>(QCoreApplication::applicationPid()));
  qApp->installEventFilter(this);
  cancelButton_->show();
  progress_->show();
  startNext();
}

void MultiRun::startNext() {
  if (pending_.empty()) {
    finish();
    return;
  }
  const TreeNode* node = pending_.front();
  pending_.erase(pending_.begin());
  ++started_;
  progress_->setText(
      QStringLiteral("Starting %1 of %2: %3")
          .arg(started_)
          .arg(total_)
          .arg(QString::fromLocal8Bit(node->name().data(), static_cast<qsizetype>(node->name().size()))));
  // Each runs as "Run branch" runs it from the stored record: its own macro
  // chain, colours and logging flag.
  const platform::ProgramPlaces places = RunPlaces(programDir_, context_.settingsPage);
  run::MacroRequest request = run::RequestForNode(node, /*branch=*/true, places.emulatorDir);
  ApplyPageSettings(request, context_.settingsPage);
  run::RunEnvironment env;
  env.places = places;
  env.numbering = &numbering_;
  const run::RunResult result = run::ExecuteMacro(request, env);
  if (result.emulatorPid != 0) startedPids_.push_back(result.emulatorPid);
  bool fileFailed = false;
  for (const run::RunMessage& m : result.messages) {
    fileFailed = fileFailed || m.kind == run::MessageKind::FileError;
    if (m.kind == run::MessageKind::Warning)
      prompter_.warning(m.text);
    else
      prompter_.error(m.text);
  }
  // A failed run goes on with the next; a failed file operation ends the command.
  if (fileFailed) {
    pending_.clear();
    end();
    return;
  }
  // The wait follows every start, the last one included.
  timer_.start(intervalMs_);
}

void MultiRun::finish() {
  AppSettings settings;
  context_.settingsPage.collect(settings);
  // Windows still to come (slow starts) are tiled with the others as they appear.
  if (!settings.doNotTile && !startedPids_.empty())
    tiles_.begin(startedPids_, std::max(intervalMs_, kLeastTileWatchMs));
  end();
}

void MultiRun::cancel() {
  pending_.clear();
  timer_.stop();
  end();
}

void MultiRun::end() {
  timer_.stop();
  qApp->removeEventFilter(this);
  progress_->hide();
  cancelButton_->hide();
  progress_->clear();
  emit finished();
}

bool MultiRun::eventFilter(QObject*, QEvent* event) {
  // Esc in the window (not in a message box) cancels.
  if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape &&
      active() && !QApplication::activeModalWidget() && !QApplication::activePopupWidget()) {
    cancel();
    return true;
  }
  return false;
}

void MultiRun::nodesAboutToBeRemoved(TreeNode* parent, int first, int last) {
  for (int row = first; row <= last; ++row) {
    const TreeNode* gone = parent->child(row);
    std::erase_if(pending_, [gone](const TreeNode* n) { return n == gone || gone->isAncestorOf(n); });
  }
}

void MultiRun::treeAboutToBeReset() { pending_.clear(); }

}  // namespace varnok::app
