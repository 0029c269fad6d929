#pragma once
// Which helper each of the window's commands calls: the handlers given to
// CommandActions, the help files, the preview window and the refusal while
// "Run all selected" is still starting connections. Close, Expand all and
// Collapse all are the window's own and set there.
#include <QObject>
#include <functional>

#include "commands/command_id.h"

class QTreeView;
class QWidget;

namespace varnok::app {

class CommandActions;
class ConnectionPages;
class Document;
class EditCommands;
class ForeignImportCommands;
class MultiRun;
class PageCycle;
class SettingsPage;
class PreviewWindow;
class Prompter;
class RunCommands;
class TransferCommands;
class TreeEditing;
struct WindowServices;

class CommandHandlers : public QObject {
  Q_OBJECT
 public:
  // The window's parts the handlers call.
  struct Context {
    QWidget& window;  // parent of the dialogs and the preview
    CommandActions& commands;
    Document& document;
    TreeEditing& editing;
    EditCommands& edits;
    RunCommands& runs;
    MultiRun& multiRun;
    TransferCommands& transfers;
    ForeignImportCommands& foreignImports;
    PageCycle& cycle;
    ConnectionPages& pages;
    const SettingsPage& settingsPage;  // the emulator folder, for its help files
    QTreeView& tree;
    Prompter& prompter;
    const WindowServices& services;
    int editorPointSize;
  };
  // Sets the handlers of every command but Close, Expand all and Collapse all.
  CommandHandlers(Context context, QObject* parent);

 private:
  // Gives `id` its handler; one that waits for a multi-run is refused while
  // "Run all selected" is starting connections.
  void set(Command id, std::function<void()> handler);
  void connectPageCommands();
  void openHelp(const char* file, const char* missing);
  void showPreview();
  // While "Run all selected" is starting connections, tree edits and runs wait.
  bool refusedDuringMultiRun();

  Context context_;
  PreviewWindow* preview_ = nullptr;
};

}  // namespace varnok::app
