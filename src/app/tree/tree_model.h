#pragma once
// The item model of the tree view VT over the core ConnectionTree. It holds
// no copy of the tree: an index carries its TreeNode, and the tree's change
// notifications become the model's begin/end calls.
#include <QAbstractItemModel>
#include <QIcon>
#include <array>
#include <functional>
#include <utility>
#include <vector>

#include "model/connection_tree.h"
#include "model/tree_search.h"

namespace varnok::app {

class ConnectionTreeModel : public QAbstractItemModel, private TreeObserver {
  Q_OBJECT
 public:
  // The view opens no node at this level or deeper (ConnectionTreeView), so
  // its layout, which recurses once per open level, stays shallow whatever
  // the file holds. Such a node with children says how many are not shown.
  static constexpr int kDeepestShownLevel = 100;

  // Image numbers of the tree pictures.
  enum Image { TopNode = 0, Connection = 1, ConnectionWithMacro = 2, Separator = 3, CutOffset = 3 };

  ConnectionTreeModel(ConnectionTree& tree, std::string computerName, QObject* parent = nullptr);
  ~ConnectionTreeModel() override;

  ConnectionTree& tree() const { return tree_; }
  TreeNode* node(const QModelIndex& index) const;
  QModelIndex indexOf(const TreeNode* node) const;

  // "This computer (" + computer name + ")" for the top node, else the name.
  QString text(const TreeNode* node) const;
  // The text the view shows: text() plus, at kDeepestShownLevel, the note on
  // the connections below.
  QString shownText(const TreeNode* node) const;
  // Whether the view may open `node` (its level is above kDeepestShownLevel).
  static bool opensAt(const TreeNode* node);
  // Whether a node shown by the model (while filtered, a node of the
  // result) lies deeper than `level`.
  bool reachesBelow(int level) const;
  static int imageIndex(const TreeNode* node, bool cut);

  // Many nodes change places at once (a drop, a paste of cut nodes, their
  // undo): the views hear of one layout change instead of one move per node,
  // which costs each of them a pass over every kept index. Between the two
  // calls the tree may only move nodes and change records.
  void beginRearrangement();
  void endRearrangement();

  // The find filter: while one is set the model holds only the result's
  // nodes (the matches and their ancestors); an index then carries the
  // node's entry in the result. A change of the tree's structure meanwhile
  // (an import) searches again with the same query.
  void setFilter(FindQuery query, FindResult result);
  void clearFilter();
  bool isFiltered() const { return filtered_; }
  const FindQuery& filterQuery() const { return filterQuery_; }
  const FindResult& filterResult() const { return filter_; }
  // While filtered: `node` is shown as a match, not only for its branch.
  bool isMatch(const TreeNode* node) const;
  // During a reset: every node stays in the tree (the filter changes, or
  // nodes arrive while filtered), only the rows shown change.
  bool resetKeepsNodes() const { return resetKeepsNodes_; }

  // Whether a node is drawn with the cut variant of its picture.
  void setCutMarked(std::function<bool(const TreeNode*)> cutMarked) { cutMarked_ = std::move(cutMarked); }

  QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
  QModelIndex parent(const QModelIndex& child) const override;
  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  bool hasChildren(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  // Dragging: the dragged nodes travel in the tree's clipboard format, with a
  // mark that tells a drag of this model from any other.
  QStringList mimeTypes() const override;
  QMimeData* mimeData(const QModelIndexList& indexes) const override;
  Qt::DropActions supportedDragActions() const override;
  Qt::DropActions supportedDropActions() const override;
  bool isOwnDrag(const QMimeData& mime) const;

 signals:
  // `node` was moved `levels` deeper with its subtree (after the views heard
  // of the move; in a rearrangement, after its end).
  void nodeMovedDeeper(const TreeNode* node, int levels);
  // The tree's structure changed while filtered and the filter was searched again.
  void filterRefreshed();

 private:
  void nodesAboutToBeInserted(TreeNode* parent, int first, int last) override;
  void nodesInserted(TreeNode* parent, int first, int last) override;
  void nodesAboutToBeRemoved(TreeNode* parent, int first, int last) override;
  void nodesRemoved(TreeNode* parent, int first, int last) override;
  void nodeAboutToBeMoved(TreeNode* srcParent, int row, TreeNode* destParent, int destRow) override;
  void nodeMoved(TreeNode* srcParent, int row, TreeNode* destParent, int destRow) override;
  void nodeDataChanged(TreeNode* node) override;
  void treeAboutToBeReset() override;
  void treeReset() override;

  QByteArray dragMark() const;
  // While filtered, a structural change resets the model around it.
  bool filteredChangeBegins(bool keepsNodes);
  bool filteredChangeEnds();
  QModelIndex entryIndex(int entry) const;
  void flushChangedRows();
  // The node at kDeepestShownLevel above a change at `parent`, repainted for
  // its note.
  void deepNoteChanged(const TreeNode* parent);

  ConnectionTree& tree_;
  // Changed records are announced per run of siblings, not one by one: a
  // paste that renames a hundred thousand siblings would otherwise cost the
  // view a search of its rows per name. The run goes out before the next
  // structural change, or when control is back in the event loop.
  TreeNode* changedParent_ = nullptr;
  int changedFirst_ = 0;
  int changedLast_ = 0;
  bool flushQueued_ = false;
  QString topText_;
  bool rearranging_ = false;
  QModelIndexList heldIndexes_;  // the persistent indexes when the rearrangement began
  std::vector<std::pair<const TreeNode*, int>> movedDeeper_;  // during a rearrangement
  std::array<QIcon, 7> icons_;
  std::function<bool(const TreeNode*)> cutMarked_;
  bool filtered_ = false;
  bool filterResetting_ = false;
  bool resetKeepsNodes_ = false;
  FindQuery filterQuery_;
  FindResult filter_;
};

}  // namespace varnok::app
