#pragma once
// Undo, Cut, Copy, Paste and Select All of the Edit menu, the tool bar and
// the context menu. Each acts on the control that has the focus: the tree
// (nodes through the tree's clipboard), the macro and popup editors, the
// fields of the settings page, or the tree's in-place name editor; edits in
// the editors mark the connection, edits in the name editor the document.
#include <functional>

class QTreeView;

namespace varnok {
class TreeHistory;
}

namespace varnok::app {

class ConnectionPages;
class ConnectionTreeModel;
class Prompter;
class SettingsPage;
class TreeClipboard;
class TreeEditingHost;
struct FocusedField;

class EditCommands {
 public:
  // The objects of the window this class works with.
  struct Context {
    QTreeView& tree;
    ConnectionTreeModel& model;
    ConnectionPages& pages;
    SettingsPage& settingsPage;
    TreeClipboard& clipboard;
    TreeHistory& history;
  };
  // `settleEdits`: asks whether to apply the pages' unapplied edits (if
  // any); false when the user cancelled.
  EditCommands(TreeEditingHost& host, Context context, Prompter& prompter, std::function<bool()> settleEdits);

  void undo();
  void cut();
  void copy();
  void paste();
  void selectAll();

 private:
  FocusedField focused() const;
  void putNodes(bool cut);
  void pasteNodes();
  void selectAllNodes();
  // After an edit of the focused text: the mark its control calls for.
  void markEdited(const FocusedField& field);

  TreeEditingHost& host_;
  Context context_;
  Prompter& prompter_;
  std::function<bool()> settleEdits_;
};

}  // namespace varnok::app
