#pragma once
// The commands that shape the tree from the tool bar and the Connection menu:
// Add child, Add sibling, Add separator line, Duplicate, Delete, Move up,
// Move down, naming in place, and the undo and redo of these. The rules live
// in the core (model/tree_operations); this class asks the questions, selects
// and expands what the core names, makes each operation one undoable step and
// leaves the marking of the document to the history.
#include <QObject>
#include <string>
#include <vector>

#include "model/tree_operations.h"

class QTreeView;

namespace varnok {
class ConnectionTree;
class TreeHistory;
class TreeNode;
}  // namespace varnok

namespace varnok::app {

class ConnectionTreeModel;
class ConnectionTreeView;
class EditMark;
class Prompter;
class TreeClipboard;

// The colour string new connections below the top node get (from the
// emulator's settings file); its owner is the colour options' keeper.
class NewConnectionColors {
 public:
  virtual ~NewConnectionColors() = default;
  virtual std::string newConnectionColors() const = 0;
};

class TreeEditing : public QObject {
  Q_OBJECT
 public:
  // The objects of the window this class works with.
  struct Context {
    QTreeView& view;
    ConnectionTreeModel& model;
    TreeHistory& history;  // its steps mark the document
    Prompter& prompter;
    EditMark& pageEdits;  // the focused connection's unapplied page edits
    const NewConnectionColors& colors;
  };
  explicit TreeEditing(Context context, QObject* parent = nullptr);

  void addChild();
  void addSibling();
  void addSeparatorLine();
  void duplicate();
  void deleteSelected();
  void moveUp();
  void moveDown();
  // The in-place editor ended with `text` for `node` (not by Esc).
  void rename(TreeNode* node, const std::string& text);
  // Naming in place and drag and drop in `view` go through this class;
  // naming a marked node ends the marks of `clipboard`.
  void attachTo(ConnectionTreeView& view, TreeClipboard& clipboard);
  // Drag and drop of the selected nodes within the tree (CanDropSelection
  // says where they may go).
  void drop(TreeNode* target, DropMark mark, bool copy);
  // "Undo tree change", "Redo tree change".
  void undo();
  void redo();

 signals:
  void refreshRequested();
  // Records may differ from what the pages show (a rename, an undo): the
  // pages show the focused node again.
  void recordsChanged();

 private:
  template <typename Operation>
  void add(Operation operation);
  void removeSelected(TreeNode* parent);
  // `operation`: MoveUp or MoveDown of the core.
  void move(MoveResult (*operation)(ConnectionTree&, TreeNode*));
  void replayed(bool done);

  QTreeView& view_;
  ConnectionTreeModel& model_;
  ConnectionTree& tree_;
  TreeHistory& history_;
  Prompter& prompter_;
  EditMark& pageEdits_;
  const NewConnectionColors& colors_;
};

}  // namespace varnok::app
