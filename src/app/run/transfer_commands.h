#pragma once
// Moving connections and macros between files: "Import connection ...",
// "Export connection ...", "Import macro ..." and "Export macro ...". The
// dialogs go through the scriptable FileDialogs; the reading and writing is
// the core's (files/import_export, run/execute_macro).
#include <QObject>
#include <string>

class QTreeView;

namespace varnok::app {

class ConnectionPages;
class ConnectionTreeModel;
class Document;
class FileDialogs;
class PageCycle;
class Prompter;
class RunCommands;

class TransferCommands : public QObject {
  Q_OBJECT
 public:
  // The objects of the window this class works with.
  struct Context {
    QTreeView& tree;
    ConnectionTreeModel& model;
    Document& document;
    ConnectionPages& pages;
    PageCycle& cycle;
    RunCommands& runs;
    Prompter& prompter;
    FileDialogs& dialogs;
  };
  explicit TransferCommands(Context context, QObject* parent = nullptr);

  void importConnections();
  // Imports `path` as one undoable step (also the file a second start hands over).
  void importFile(const std::string& path);
  void exportConnections();
  void importMacro();
  void exportMacro();

 signals:
  void refreshRequested();

 private:
  Context context_;
  Prompter& prompter_;
  FileDialogs& dialogs_;
  std::string lastMacroExport_;
};

}  // namespace varnok::app
