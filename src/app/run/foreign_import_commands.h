#pragma once
// File > "Import from other tools": an OpenSSH config, PuTTY's sessions or a
// CSV table read by the core, shown in the preview, and the checked
// connections appended below the top node as one undoable step, as
// "Import connection ..." appends a file's.
#include <QObject>
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

class ForeignImportCommands : public QObject {
  Q_OBJECT
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
  explicit ForeignImportCommands(Context context, QObject* parent = nullptr);

  // The submenu's three items: "OpenSSH config ...", "PuTTY sessions ...",
  // "CSV table ..." (object names MnImportOpenSsh, MnImportPutty, MnImportCsv).
  void fillMenu(QMenu& menu);
  void importFrom(ForeignFormat format);

 signals:
  void refreshRequested();

 private:
  std::optional<std::string> chooseSource(ForeignFormat format, bool offerDefault);

  Context context_;
};

}  // namespace varnok::app
