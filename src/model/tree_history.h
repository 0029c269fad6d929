#pragma once
// The undo history of tree changes. Attached to a tree, it records every
// change the tree makes; begin/end group the changes of one command into one
// step, and a change made outside a group is a step of its own.
//
// Undo and redo replay the inverse changes with the very same node objects:
// a removed subtree is kept by the history instead of being destroyed, and an
// undone insert keeps its nodes for the redo. So pointers to nodes taken with
// a step (the focus and selection around it) stay valid while the step exists.
//
//   history.begin(viewState());           // before the first change
//   DeleteNodes(tree, selected);          // any number of tree changes
//   history.end(viewState());             // after the last one
//   if (auto before = history.undo()) show(*before);
//
// Clearing the tree (New, Open) empties the history; so does clear().
//
// The history is bounded twice: by a number of steps and by the bytes its
// steps keep alive (removed subtrees, earlier records). Past either bound the
// oldest steps go; the newest step is always kept, however large.
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "model/connection_tree.h"

namespace varnok {

// The focus and selection of the tree view around a step.
struct TreeViewState {
  TreeNode* focus = nullptr;
  std::vector<TreeNode*> selected;
};

class TreeHistory : private TreeRecorder {
 public:
  static constexpr std::size_t kDefaultByteBudget = std::size_t{256} << 20;

  // `limit`: the most steps kept; `byteBudget`: the most bytes they keep
  // (an estimate: nodes, records and their texts). The oldest go first.
  explicit TreeHistory(ConnectionTree& tree, std::size_t limit = 100,
                       std::size_t byteBudget = kDefaultByteBudget);
  ~TreeHistory() override;
  TreeHistory(const TreeHistory&) = delete;
  TreeHistory& operator=(const TreeHistory&) = delete;

  // Groups the changes up to the matching end into one step. Groups nest;
  // the outermost one makes the step. A group without changes leaves none.
  void begin(TreeViewState before);
  void end(TreeViewState after);

  bool canUndo() const { return !undo_.empty(); }
  bool canRedo() const { return !redo_.empty(); }
  std::size_t undoCount() const { return undo_.size(); }
  std::size_t redoCount() const { return redo_.size(); }
  // What the kept steps hold, as counted against the budget.
  std::size_t heldBytes() const { return heldBytes_; }

  // The step an undo or redo would replay only moves nodes and changes
  // records (no node comes or goes).
  bool undoOnlyRearranges() const { return canUndo() && onlyRearranges(*undo_.back()); }
  bool redoOnlyRearranges() const { return canRedo() && onlyRearranges(*redo_.back()); }

  // Reverts the newest step; the view state from before it, nullopt when
  // there is nothing to undo.
  std::optional<TreeViewState> undo();
  // Makes the newest undone step again; the view state from after it.
  std::optional<TreeViewState> redo();

  // Forgets every step (the nodes it kept are released).
  void clear();

  // The view state kept with a change made outside any group; none when unset.
  std::function<TreeViewState()> viewState;
  // Runs after the tree changed through the history: a step recorded, undone
  // or redone. The owner of the file marks it changed here.
  std::function<void()> changed;

 private:
  struct Change;
  struct Step;

  void recordInserted(TreeNode* parent, int first, int count) override;
  void recordRemoved(TreeNode* parent, int first, std::vector<std::unique_ptr<TreeNode>> nodes) override;
  void recordMoved(TreeNode* node, TreeNode* fromParent, int fromRow) override;
  void recordDataChanged(TreeNode* node, rVTNodeData before) override;
  void recordNameChanged(TreeNode* node, std::string before) override;
  void recordReset() override;

  void add(Change change);
  static std::size_t bytesOf(const Step& step);
  void recount(Step& step);
  void trim();
  static bool onlyRearranges(const Step& step);
  void replay(Step& step, bool backwards);

  ConnectionTree& tree_;
  std::size_t limit_;
  std::size_t byteBudget_;
  std::size_t heldBytes_ = 0;                // the sum of the kept steps' bytes
  std::vector<std::unique_ptr<Step>> undo_;  // oldest first
  std::vector<std::unique_ptr<Step>> redo_;  // newest undone last
  std::unique_ptr<Step> open_;               // the group being recorded
  int depth_ = 0;
};

}  // namespace varnok
