#pragma once
// The tree's side of the clipboard. Copy and Cut put the selected nodes (their
// subtrees go along) on the clipboard in the tree's own format and mark them
// with their subtrees; while a cut is pending the tree draws the marked nodes
// with their cut images. Paste puts the nodes in as the first children of a
// node: cut nodes are moved there, copied ones copied.
#include <QByteArray>
#include <QObject>
#include <unordered_set>
#include <vector>

#include "dialogs/long_work.h"
#include "model/connection_tree.h"

class QTreeView;

namespace varnok::app {

class ConnectionTreeModel;

// The clipboard format of copied tree nodes, and the mark of a cut.
inline constexpr const char* kNodeClipboardFormat = "application/x-varnok-tree-data";
inline constexpr const char* kCutClipboardFormat = "application/x-varnok-tree-cut";

class TreeClipboard : public QObject, private TreeObserver {
  Q_OBJECT
 public:
  TreeClipboard(QTreeView& view, ConnectionTreeModel& model, QObject* parent = nullptr);
  ~TreeClipboard() override;

  // Copy (cut false) or Cut: the outermost of `selected` with their subtrees.
  void put(const std::vector<TreeNode*>& selected, bool cut);
  // The clipboard holds nodes in the tree's format.
  static bool holdsNodes();
  // The nodes from the clipboard go in below `target`, cut ones moved (the
  // cut ends), copied ones copied; returns them in their new order. Empty
  // when there was nothing to paste or the target lies inside a cut node.
  struct Pasted {
    std::vector<TreeNode*> nodes;
    bool refusedIntoItself = false;
    bool damaged = false;  // the clipboard's bytes are not a payload of nodes
  };
  // The copied nodes are read and named through `work` (in place until
  // set); a cancelled paste changes nothing.
  Pasted paste(TreeNode* target);
  void setLongWork(LongWork& work) { longWork_ = &work; }

  bool cutPending() const { return cutPending_; }
  bool isMarked(const TreeNode* node) const { return marked_.count(node) > 0; }
  // Forgets the marks and ends a pending cut: the nodes stay where they are,
  // and a later paste copies them from the clipboard.
  void clearMarks();
  // The same when `node` carries a mark (it was applied or is named in place).
  void clearMarksFor(const TreeNode* node);

 private:
  void markCutSubtrees(const std::vector<TreeNode*>& roots);
  bool clipboardHoldsOurCut() const;
  void nodesAboutToBeRemoved(TreeNode* parent, int first, int last) override;
  void treeAboutToBeReset() override;

  QTreeView& view_;
  ConnectionTreeModel& model_;
  ConnectionTree& tree_;
  std::unordered_set<const TreeNode*> marked_;
  std::vector<TreeNode*> cutRoots_;  // the outermost cut nodes, in tree order
  QByteArray cutToken_;
  bool cutPending_ = false;
  WorkInPlace workInPlace_;
  LongWork* longWork_ = &workInPlace_;
};

}  // namespace varnok::app
