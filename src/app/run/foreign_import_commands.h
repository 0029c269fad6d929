#pragma once
// File > "Import from other tools": an OpenSSH config, PuTTY's sessions or a
// CSV table read by the core, shown in the preview, and the checked
// connections appended below the top node as one undoable step, as
// "Import connection ..." appends a file's.
#include <functional>
#include <optional>
#include <string>

#include "files/foreign_import.h"

class QMenu;
class QTreeView;
class QWidget;

namespace varnok::app {

class ConnectionTreeModel;
class Document;
class FileDialogs;
class Prompter;

class ForeignImportCommands {
 public:
  struct Context {
    QWidget& window;
    QTreeView& tree;
    ConnectionTreeModel& model;
    Document& document;
    Prompter& prompter;
    FileDialogs& dialogs;
    std::string programDir;
  };
  ForeignImportCommands(Context context, std::function<void()> requestRefresh);

  // The submenu's three items: "OpenSSH config ...", "PuTTY sessions ...",
  // "CSV table ..." (object names MnImportOpenSsh, MnImportPutty, MnImportCsv).
  void fillMenu(QMenu& menu);
  void importFrom(ForeignFormat format);

 private:
  std::optional<std::string> chooseSource(ForeignFormat format, bool offerDefault);

  Context context_;
  std::function<void()> requestRefresh_;
};

}  // namespace varnok::app
