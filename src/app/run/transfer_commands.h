#pragma once
// Moving connections and macros between files: "Import connection ...",
// "Export connection ...", "Import macro ..." and "Export macro ...". The
// dialogs go through the scriptable FileDialogs; the reading and writing is
// the core's (files/import_export, run/execute_macro).
#include <functional>
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
class TreeEditingHost;

class TransferCommands {
 public:
  // The objects of the window this class works with.
  struct Context {
    QTreeView& tree;
    ConnectionTreeModel& model;
    Document& document;
    ConnectionPages& pages;
    PageCycle& cycle;
    RunCommands& runs;
  };
  TransferCommands(TreeEditingHost& host, Context context, Prompter& prompter, FileDialogs& dialogs);

  void importConnections();
  // Imports `path` as one undoable step (also the file a second start hands over).
  void importFile(const std::string& path);
  void exportConnections();
  void importMacro();
  void exportMacro();

 private:
  TreeEditingHost& host_;
  Context context_;
  Prompter& prompter_;
  FileDialogs& dialogs_;
  std::string lastMacroExport_;
};

}  // namespace varnok::app
