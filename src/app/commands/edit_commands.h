#pragma once
// Undo, Cut, Copy, Paste and Select All of the Edit menu, the tool bar and
// the context menu. Each acts on the control that has the focus: the tree
// (nodes through the tree's clipboard), the macro and popup editors, the
// fields of the settings page, or the tree's in-place name editor; edits in
// the editors mark the connection, edits in the name editor the document.
#include <QObject>

class QTreeView;

namespace varnok {
class TreeHistory;
}

namespace varnok::app {

class ConnectionPages;
class ConnectionTreeModel;
class PageCycle;
class Prompter;
class SettingsPage;
class TreeClipboard;
struct FocusedField;

class EditCommands : public QObject {
  Q_OBJECT
 public:
  // The objects of the window this class works with.
  struct Context {
    QTreeView& tree;
    ConnectionTreeModel& model;
    ConnectionPages& pages;
    SettingsPage& settingsPage;
    TreeClipboard& clipboard;
    TreeHistory& history;  // pasted nodes are one step; it marks the document
    PageCycle& cycle;      // asked to settle unapplied edits before Select All
    Prompter& prompter;
  };
  explicit EditCommands(Context context, QObject* parent = nullptr);

  void undo();
  void cut();
  void copy();
  void paste();
  void selectAll();

 signals:
  void refreshRequested();
  // The in-place name editor's text was edited (the name itself changes
  // when the editor closes): the document counts as changed.
  void nameEdited();

 private:
  FocusedField focused() const;
  void putNodes(bool cut);
  void pasteNodes();
  void selectAllNodes();
  // After an edit of the focused text: the mark its control calls for.
  void markEdited(const FocusedField& field);

  Context context_;
};

}  // namespace varnok::app
