#pragma once
// The connections an import from another tool would add, as a tree of check
// boxes over the reader's detached forest (no copy of it). Unchecking a node
// unchecks its subtree, checking one checks its ancestors and its subtree:
// a connection never arrives without the jump hosts it is reached through.
#include <QAbstractItemModel>
#include <memory>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "model/connection_tree.h"

namespace varnok::app {

class ImportPreviewModel : public QAbstractItemModel {
  Q_OBJECT
 public:
  ImportPreviewModel(const std::vector<std::unique_ptr<TreeNode>>& roots, QObject* parent = nullptr);

  QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
  QModelIndex parent(const QModelIndex& child) const override;
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  int total() const { return total_; }
  int checkedCount() const { return total_ - static_cast<int>(unchecked_.size()); }
  bool isChecked(const TreeNode* node) const { return !unchecked_.count(node); }
  void setAllChecked(bool checked);
  QModelIndex indexOf(const TreeNode* node) const;

 signals:
  void checksChanged();

 private:
  void setSubtree(const TreeNode* node, bool checked);
  void announce(const TreeNode* node);

  const std::vector<std::unique_ptr<TreeNode>>& roots_;
  std::unordered_map<const TreeNode*, int> rootRow_;
  std::unordered_set<const TreeNode*> unchecked_;
  int total_ = 0;
};

}  // namespace varnok::app
