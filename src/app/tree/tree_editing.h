#pragma once
// The commands that shape the tree from the tool bar and the Connection menu:
// Add child, Add sibling, Add separator line, Duplicate, Delete, Move up,
// Move down, naming in place, and the undo and redo of these. The rules live
// in the core (model/tree_operations); this class asks the questions, selects
// and expands what the core names, makes each operation one undoable step and
// marks the document.
#include <functional>
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
class Prompter;
class TreeClipboard;

// What tree editing needs of the window.
class TreeEditingHost {
 public:
  virtual ~TreeEditingHost() = default;
  virtual bool connectionModified() const = 0;
  virtual void setConnectionModified(bool on) = 0;
  virtual void markDocumentModified() = 0;
  virtual void requestRefresh() = 0;
  // The colour string new connections below the top node get.
  virtual std::string defaultColors() const = 0;
  // The pages show the focused node again (after a rename).
  virtual void reloadPages() = 0;
};

class TreeEditing {
 public:
  TreeEditing(TreeEditingHost& host, QTreeView& view, ConnectionTreeModel& model, TreeHistory& history,
              Prompter& prompter);

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
  // Drag and drop of the selected nodes within the tree.
  bool canDrop(const TreeNode* target, DropMark mark) const;
  void drop(TreeNode* target, DropMark mark, bool copy);
  // "Undo tree change", "Redo tree change".
  void undo();
  void redo();

 private:
  template <typename Operation>
  void add(Operation operation);
  void removeSelected(TreeNode* parent);
  // `operation`: MoveUp or MoveDown of the core.
  void move(MoveResult (*operation)(ConnectionTree&, TreeNode*));
  void replayed(bool done);

  TreeEditingHost& host_;
  QTreeView& view_;
  ConnectionTreeModel& model_;
  ConnectionTree& tree_;
  TreeHistory& history_;
  Prompter& prompter_;
};

}  // namespace varnok::app
