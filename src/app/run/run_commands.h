#pragma once
// The commands that start the emulator from the window: Run, Run to cursor,
// Run branch, Run branch to cursor, and Show popup. The request is the
// focused connection's as stored, with what the pages hold put in (the
// editor's text when it has unapplied edits or for a "to cursor" run, the
// logging box as it stands) and the settings page's user variables; the core
// (run/execute_macro) writes the files and starts the emulator, and its
// messages are shown here.
#include <QObject>
#include <string>

#include "platform/program_places.h"
#include "run/temp_files.h"

class QTreeView;

namespace varnok {
class TreeNode;
}
namespace varnok::run {
struct MacroRequest;
struct RunResult;
}  // namespace varnok::run

namespace varnok::app {

class ConnectionPages;
class ConnectionTreeModel;
class PageCycle;
class Prompter;
struct PreviewContent;
class SettingsPage;

// The settings page's user variables and "Disable color support" into `request`.
void ApplyPageSettings(run::MacroRequest& request, const SettingsPage& settingsPage);

// Where runs find the emulator and write their files, with the emulator
// folder as the settings page holds it now.
platform::ProgramPlaces RunPlaces(const std::string& programDir, const SettingsPage& settingsPage);

// Which lines of the connection's macro a run takes: all, or the editor's
// lines up to the caret ("to cursor").
enum class RunLines { Whole, ToCursor };
// The connection's macro alone, or its ancestors' macros first ("branch").
enum class RunScope { Connection, Branch };

class RunCommands : public QObject {
  Q_OBJECT
 public:
  // The objects of the window this class works with.
  struct Context {
    QTreeView& tree;
    ConnectionTreeModel& model;
    ConnectionPages& pages;
    const SettingsPage& settingsPage;
    const PageCycle& cycle;
  };
  RunCommands(Context context, Prompter& prompter, std::string programDir, QObject* parent = nullptr);

  void run(RunLines lines, RunScope scope);
  void showPopup();
  // What Run branch would write for the focused connection, and which one
  // that is; empty for none.
  PreviewContent preview() const;
  // "Export macro ...": what Run branch would write, into `path`.
  void exportMacro(const std::string& path);
  // The numbered temporary files every run of the window takes in turn.
  run::TempFileNumbering& numbering() { return numbering_; }

 signals:
  void refreshRequested();

 private:
  run::MacroRequest requestFor(const TreeNode* node, RunLines lines, RunScope scope) const;
  void execute(run::MacroRequest request);
  void report(const run::RunResult& result);

  Context context_;
  Prompter& prompter_;
  std::string programDir_;
  run::TempFileNumbering numbering_;
};

}  // namespace varnok::app
