#pragma once
// The connection tree: one top node (absolute index 0, Level 0) and below it
// connections and separator lines, each node owning its record (texts packed
// in the tree's memory, see NodeTexts; data() hands out a view of them).
//
// Navigation is O(1): parent(), child(row), row(), childCount(),
// next/previous sibling. subtreeSize() (the node and all its descendants) is
// kept up to date, so ConnectionTree::count() is O(1) too. A pre-order walk
// with next() costs O(1) amortised per step:
//   int index = 0;
//   for (TreeNode* n = tree.top(); n; n = tree.next(n), ++index) ...  // index = absolute index
//
// Every structural change goes through ConnectionTree, which keeps Level true
// for the node and its whole subtree and tells the observers before and after
// (rows in the Qt sense, see TreeObserver). Record changes go through
// SetData/SetName (Level is preserved) and are announced by DataChanged.
//
// Detached nodes (NewNode, Clone, Take) are ordinary TreeNodes outside any
// tree; build subtrees of them with AppendDetached, then Insert them. Within
// a detached subtree, too, each child's Level is its parent's + 1, so an
// insert or move walks the subtree only when its levels shift.
#include <functional>
#include <memory>
#include <new>
#include <vector>

#include "model/node_data.h"
#include "model/node_memory.h"
#include "model/node_texts.h"

namespace varnok {

class ConnectionTree;

class TreeNode {
 public:
  TreeNode(const TreeNode&) = delete;
  TreeNode& operator=(const TreeNode&) = delete;

  // The record; its texts stay valid until the node is changed or destroyed.
  rVTNodeView data() const {
    return {texts_.get(NodeTexts::kName),
            texts_.get(NodeTexts::kMacro),
            texts_.get(NodeTexts::kPopupText),
            texts_.get(NodeTexts::kSchedule),
            texts_.get(NodeTexts::kLastUpdated),
            texts_.get(NodeTexts::kColors),
            nodeType_,
            level_,
            startLogging_};
  }
  std::string_view name() const { return texts_.get(NodeTexts::kName); }
  int level() const { return level_; }
  bool hasMacro() const { return !texts_.empty(NodeTexts::kMacro); }
  bool isSeparator() const { return IsSeparatorName(name()); }

  TreeNode* parent() const { return parent_; }
  int row() const { return row_; }  // position among the parent's children
  int childCount() const { return static_cast<int>(children_.size()); }
  bool hasChildren() const { return !children_.empty(); }
  TreeNode* child(int row) const { return children_[static_cast<std::size_t>(row)].get(); }
  TreeNode* firstChild() const { return children_.empty() ? nullptr : children_.front().get(); }
  TreeNode* lastChild() const { return children_.empty() ? nullptr : children_.back().get(); }
  TreeNode* previousSibling() const;
  TreeNode* nextSibling() const;
  int subtreeSize() const { return size_; }  // this node plus all descendants
  // For the naming rules. The children's names were made unique once
  // (ResolveSiblingNames); since then only the children marked as changed
  // (added, moved in or among the siblings, renamed) may clash. Removals
  // change nothing.
  bool childNamesResolved() const { return namesResolved_; }
  bool hasChangedChildren() const { return changedChildren_; }
  bool nameChanged() const { return nameChanged_; }
  bool isAncestorOf(const TreeNode* other) const;  // strict

  // A node on the general heap; ConnectionTree::newNode places nodes in a tree's memory.
  explicit TreeNode(const rVTNodeView& data) : TreeNode(data, nullptr) {}
  ~TreeNode();  // iterative: a chain of any depth is released without recursion
  // Gives the node back to the memory it came from (std::unique_ptr's delete).
  void operator delete(TreeNode* node, std::destroying_delete_t);

 private:
  friend class ConnectionTree;
  friend class SubtreeBuilder;
  TreeNode(const rVTNodeView& data, NodeMemory* memory);
  // Stores the record's texts, type and logging flag (Level stays as kept).
  void store(const rVTNodeView& data);

  NodeTexts texts_;
  NodeMemory* memory_ = nullptr;  // nullptr: the general heap
  TreeNode* parent_ = nullptr;
  std::vector<std::unique_ptr<TreeNode>> children_;
  int row_ = 0;
  int size_ = 1;
  std::int32_t level_ = 0;
  StoredNodeType nodeType_ = StoredNodeType::NeverApplied;
  bool startLogging_ = false;
  bool namesResolved_ = false;
  bool changedChildren_ = false;
  bool nameChanged_ = false;
};

// A million connections must fit in memory beside their texts: the node keeps
// its record in 32 bytes (texts_) and the tree's links in the rest.
static_assert(sizeof(TreeNode) <= 128, "a tree node grew beyond 128 bytes");

// Change notifications, shaped after QAbstractItemModel's begin/end calls.
// Rows are positions among `parent`'s children; for moves `destRow` is the
// destination counted before the move, exactly as beginMoveRows expects.
// A node given to AboutToInsert/Inserted arrives with its whole subtree.
class TreeObserver {
 public:
  virtual ~TreeObserver() = default;
  virtual void nodesAboutToBeInserted(TreeNode* /*parent*/, int /*first*/, int /*last*/) {}
  virtual void nodesInserted(TreeNode* /*parent*/, int /*first*/, int /*last*/) {}
  virtual void nodesAboutToBeRemoved(TreeNode* /*parent*/, int /*first*/, int /*last*/) {}
  virtual void nodesRemoved(TreeNode* /*parent*/, int /*first*/, int /*last*/) {}
  virtual void nodeAboutToBeMoved(TreeNode* /*srcParent*/, int /*row*/, TreeNode* /*destParent*/,
                                  int /*destRow*/) {}
  virtual void nodeMoved(TreeNode* /*srcParent*/, int /*row*/, TreeNode* /*destParent*/, int /*destRow*/) {}
  virtual void nodeDataChanged(TreeNode* /*node*/) {}
  virtual void treeAboutToBeReset() {}
  virtual void treeReset() {}
};

// Receives every change of the tree while attached (the undo history).
// Called after the change. A removed subtree is handed over rather than
// destroyed, so that an undo can put the very same nodes back and pointers to
// them stay valid.
class TreeRecorder {
 public:
  virtual ~TreeRecorder() = default;
  virtual void recordInserted(TreeNode* parent, int first, int count) = 0;
  // `nodes` stood as consecutive children of `parent` from `first` on.
  virtual void recordRemoved(TreeNode* parent, int first, std::vector<std::unique_ptr<TreeNode>> nodes) = 0;
  // `node` stands at its new place; it came from `fromRow` of `fromParent`.
  virtual void recordMoved(TreeNode* node, TreeNode* fromParent, int fromRow) = 0;
  virtual void recordDataChanged(TreeNode* node, rVTNodeData before) = 0;
  virtual void recordNameChanged(TreeNode* node, std::string before) = 0;
  // Every node was replaced (clear): whatever was recorded refers to nothing now.
  virtual void recordReset() = 0;
};

// Builds a detached forest fast: O(1) per node for a chain of any depth when
// the nodes come in pre-order, as the file readers and clone() add them (any
// other order costs one more walk in finish()). Each node's Level is its
// depth below root() (top-level nodes 1), which is what a child of the top
// node has, so inserting there needs no walk. finish() hands back the
// top-level nodes ready for ConnectionTree::InsertRange.
class SubtreeBuilder {
 public:
  // New nodes in `memory` (a tree's memory()), or on the general heap.
  explicit SubtreeBuilder(NodeMemory* memory = nullptr);
  // The stand-in parent of the top-level nodes.
  TreeNode* root() const { return root_.get(); }
  TreeNode* append(TreeNode* parent, const rVTNodeData& data) { return appendFrom(parent, ViewOf(data)); }
  // The same from a view (a file's bytes, another node): no copy in between.
  TreeNode* appendFrom(TreeNode* parent, const rVTNodeView& data);
  int nodeCount() const { return count_; }  // nodes appended so far
  std::vector<std::unique_ptr<TreeNode>> finish();

 private:
  // The last appended node and its ancestors up to root_. Appends in
  // pre-order (the usual case) always go below one of them; a node dropped
  // from the path has all its descendants, so its size is final then.
  void closeLast();

  std::unique_ptr<TreeNode> root_;
  NodeMemory* memory_;
  std::vector<TreeNode*> path_;
  int count_ = 0;
  bool inPreOrder_ = true;  // false: finish() counts the sizes in a walk of its own
};

class ConnectionTree {
 public:
  ConnectionTree();
  ConnectionTree(const ConnectionTree&) = delete;
  ConnectionTree& operator=(const ConnectionTree&) = delete;

  TreeNode* top() const { return top_.get(); }
  // Where the tree's nodes live; new nodes for this tree belong there.
  NodeMemory* memory() const { return memory_.get(); }
  int count() const { return top_->size_; }  // all nodes, the top node included

  void addObserver(TreeObserver* observer);
  void removeObserver(TreeObserver* observer);
  // At most one recorder; nullptr detaches it.
  void setRecorder(TreeRecorder* recorder) { recorder_ = recorder; }
  TreeRecorder* recorder() const { return recorder_; }

  // Removes every node but the top node, whose record is cleared (a new
  // configuration). Announced as a reset.
  void clear();

  // Pre-order successor within the whole tree; nullptr after the last node.
  static TreeNode* next(const TreeNode* node);
  // Pre-order successor that stays inside `root`'s subtree (root excluded).
  static TreeNode* nextInSubtree(const TreeNode* node, const TreeNode* root);
  // Calls f(node) for `root` and every node below it in pre-order; the
  // fastest full walk (no climbing back through parents).
  template <typename F>
  static void forEachPreOrder(const TreeNode* root, F&& f) {
    std::vector<const TreeNode*> pending{root};
    while (!pending.empty()) {
      const TreeNode* n = pending.back();
      pending.pop_back();
      f(n);
      for (auto it = n->children_.rbegin(); it != n->children_.rend(); ++it) pending.push_back(it->get());
    }
  }
  // Position in the pre-order walk (top node 0). O(depth + siblings before the path).
  int absoluteIndex(const TreeNode* node) const;
  // The node at an absolute index, nullptr when out of range.
  TreeNode* nodeAt(int index) const;
  // Depth below the top node (0 for the top node); equals data().Level.
  static int depth(const TreeNode* node);
  // Whether `a` comes before `b` in the pre-order walk (an ancestor before
  // its descendants). O(depth); both in one tree.
  static bool comesBefore(const TreeNode* a, const TreeNode* b);

  // Detached nodes, not yet in any tree: in `memory` (a tree's memory()),
  // or on the general heap. A node may be inserted into any tree.
  static std::unique_ptr<TreeNode> newNode(const rVTNodeData& data = {}, NodeMemory* memory = nullptr);
  // The same from a view (a file's bytes, another node): no copy in between.
  static std::unique_ptr<TreeNode> newNodeFrom(const rVTNodeView& data, NodeMemory* memory = nullptr);
  static std::unique_ptr<TreeNode> clone(const TreeNode* node, NodeMemory* memory = nullptr);  // deep copy
  // Appends `child` as last child of a detached `parent` (no notification).
  static TreeNode* appendDetached(TreeNode* parent, std::unique_ptr<TreeNode> child);

  // Inserts a detached node (with its subtree) at `row` of `parent`
  // (row == childCount() appends). Levels follow the new place.
  TreeNode* insert(TreeNode* parent, int row, std::unique_ptr<TreeNode> node);
  // Inserts several detached nodes as consecutive children starting at `row`;
  // one notification for the whole range.
  void insertRange(TreeNode* parent, int row, std::vector<std::unique_ptr<TreeNode>> nodes);
  // Removes a node other than the top node with its subtree and hands it
  // back. Not recorded: with a recorder attached, use remove (or move).
  std::unique_ptr<TreeNode> take(TreeNode* node);
  // Removes `count` consecutive children of `parent` from `first` on, with
  // their subtrees, in one notification. Not recorded, as take.
  std::vector<std::unique_ptr<TreeNode>> takeRange(TreeNode* parent, int first, int count);
  // Removes a node other than the top node with its subtree; the recorder,
  // when one is attached, keeps it.
  void remove(TreeNode* node);
  // Removes `count` consecutive children of `parent` from `first` on, with
  // their subtrees, in one notification; the recorder, when one is attached,
  // keeps them.
  void removeRange(TreeNode* parent, int first, int count);
  // Moves `node` with its subtree so that it comes before the child that is at
  // `destRow` of `newParent` now (destRow == childCount() appends). Refused
  // (false) for the top node, for a destination inside the node's own subtree
  // and for a move that changes nothing.
  bool move(TreeNode* node, TreeNode* newParent, int destRow);

  // Replaces the record; Level stays as the tree keeps it.
  void setData(TreeNode* node, rVTNodeData data);
  void setName(TreeNode* node, std::string name);
  // Changes the record in place through `edit`; Level stays as kept.
  void edit(TreeNode* node, const std::function<void(rVTNodeData&)>& change);
  // For the naming rules: `node`'s children are unique among themselves now.
  static void markChildNamesResolved(TreeNode* node);

 private:
  static void setLevels(TreeNode* node, int level);
  static void markChanged(TreeNode* node);
  static void renumber(TreeNode* parent, int fromRow);
  static void addToSizes(TreeNode* from, int delta);
  template <typename F>
  void notify(F&& f) {
    for (TreeObserver* o : observers_) f(o);
  }

  std::vector<std::unique_ptr<TreeNode>> detachRange(TreeNode* parent, int first, int count);

  NodeMemoryHandle memory_;
  std::unique_ptr<TreeNode> top_;
  std::vector<TreeObserver*> observers_;
  TreeRecorder* recorder_ = nullptr;
};

}  // namespace varnok
