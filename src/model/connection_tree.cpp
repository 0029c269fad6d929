#include "model/connection_tree.h"

#include <algorithm>
#include <cassert>

namespace varnok {

TreeNode::~TreeNode() {
  std::vector<std::unique_ptr<TreeNode>> pending = std::move(children_);
  while (!pending.empty()) {
    std::unique_ptr<TreeNode> n = std::move(pending.back());
    pending.pop_back();
    for (auto& c : n->children_) pending.push_back(std::move(c));
    n->children_.clear();
  }
}

SubtreeBuilder::SubtreeBuilder() : root_(ConnectionTree::NewNode()) {}

TreeNode* SubtreeBuilder::Append(TreeNode* parent, rVTNodeData data) {
  auto node = ConnectionTree::NewNode(std::move(data));
  TreeNode* n = node.get();
  n->parent_ = parent;
  n->row_ = parent->childCount();
  parent->children_.push_back(std::move(node));
  ++count_;
  return n;
}

std::vector<std::unique_ptr<TreeNode>> SubtreeBuilder::Finish() {
  // Sizes bottom-up: the reverse of a pre-order visits children before parents.
  std::vector<TreeNode*> order;
  order.reserve(static_cast<std::size_t>(count_));
  for (TreeNode* n = ConnectionTree::NextInSubtree(root_.get(), root_.get()); n;
       n = ConnectionTree::NextInSubtree(n, root_.get()))
    order.push_back(n);
  for (auto it = order.rbegin(); it != order.rend(); ++it) {
    TreeNode* n = *it;
    n->size_ = 1;
    for (auto& c : n->children_) n->size_ += c->size_;
  }
  std::vector<std::unique_ptr<TreeNode>> roots = std::move(root_->children_);
  root_->children_.clear();
  for (auto& r : roots) r->parent_ = nullptr;
  count_ = 0;
  return roots;
}

TreeNode* TreeNode::previousSibling() const {
  if (!parent_ || row_ == 0) return nullptr;
  return parent_->child(row_ - 1);
}

TreeNode* TreeNode::nextSibling() const {
  if (!parent_ || row_ + 1 >= parent_->childCount()) return nullptr;
  return parent_->child(row_ + 1);
}

bool TreeNode::isAncestorOf(const TreeNode* other) const {
  for (const TreeNode* p = other ? other->parent_ : nullptr; p; p = p->parent_)
    if (p == this) return true;
  return false;
}

ConnectionTree::ConnectionTree() : top_(NewNode()) {}

void ConnectionTree::AddObserver(TreeObserver* observer) { observers_.push_back(observer); }

void ConnectionTree::RemoveObserver(TreeObserver* observer) {
  observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
}

void ConnectionTree::Clear() {
  Notify([](TreeObserver* o) { o->AboutToReset(); });
  top_ = NewNode();
  Notify([](TreeObserver* o) { o->Reset(); });
}

TreeNode* ConnectionTree::Next(const TreeNode* node) { return NextInSubtree(node, nullptr); }

TreeNode* ConnectionTree::NextInSubtree(const TreeNode* node, const TreeNode* root) {
  if (node->hasChildren()) return node->firstChild();
  for (const TreeNode* n = node; n && n != root; n = n->parent_) {
    if (TreeNode* s = n->nextSibling()) return s;
  }
  return nullptr;
}

int ConnectionTree::AbsoluteIndex(const TreeNode* node) const {
  int index = 0;
  for (const TreeNode* n = node; n->parent_; n = n->parent_) {
    index += 1;
    const TreeNode* p = n->parent_;
    for (int r = 0; r < n->row_; ++r) index += p->child(r)->size_;
  }
  return index;
}

TreeNode* ConnectionTree::NodeAt(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  TreeNode* n = top_.get();
  while (index > 0) {
    index -= 1;  // step past n itself into its children
    for (auto& c : n->children_) {
      if (index < c->size_) {
        n = c.get();
        break;
      }
      index -= c->size_;
    }
  }
  return n;
}

int ConnectionTree::Depth(const TreeNode* node) {
  int d = 0;
  for (const TreeNode* p = node->parent_; p; p = p->parent_) ++d;
  return d;
}

std::unique_ptr<TreeNode> ConnectionTree::NewNode(rVTNodeData data) {
  return std::make_unique<TreeNode>(std::move(data));
}

std::unique_ptr<TreeNode> ConnectionTree::Clone(const TreeNode* node) {
  SubtreeBuilder builder;
  TreeNode* copy = builder.Append(builder.Root(), node->data_);
  const TreeNode* source = node;
  for (const TreeNode* s = NextInSubtree(node, node); s; s = NextInSubtree(s, node)) {
    while (source != s->parent_) {
      source = source->parent_;
      copy = copy->parent_;
    }
    copy = builder.Append(copy, s->data_);
    source = s;
  }
  auto roots = builder.Finish();
  return std::move(roots.front());
}

TreeNode* ConnectionTree::AppendDetached(TreeNode* parent, std::unique_ptr<TreeNode> child) {
  TreeNode* c = child.get();
  c->parent_ = parent;
  c->row_ = parent->childCount();
  parent->children_.push_back(std::move(child));
  AddToSizes(parent, c->size_);
  return c;
}

void ConnectionTree::SetLevels(TreeNode* root, int level) {
  root->data_.Level = level;
  for (TreeNode* n = NextInSubtree(root, root); n; n = NextInSubtree(n, root))
    n->data_.Level = n->parent_->data_.Level + 1;
}

void ConnectionTree::Renumber(TreeNode* parent, int fromRow) {
  for (int r = fromRow; r < parent->childCount(); ++r) parent->children_[static_cast<std::size_t>(r)]->row_ = r;
}

void ConnectionTree::AddToSizes(TreeNode* from, int delta) {
  for (TreeNode* p = from; p; p = p->parent_) p->size_ += delta;
}

TreeNode* ConnectionTree::Insert(TreeNode* parent, int row, std::unique_ptr<TreeNode> node) {
  TreeNode* n = node.get();
  std::vector<std::unique_ptr<TreeNode>> one;
  one.push_back(std::move(node));
  InsertRange(parent, row, std::move(one));
  return n;
}

void ConnectionTree::InsertRange(TreeNode* parent, int row, std::vector<std::unique_ptr<TreeNode>> nodes) {
  if (nodes.empty()) return;
  row = std::clamp(row, 0, parent->childCount());
  int last = row + static_cast<int>(nodes.size()) - 1;
  Notify([&](TreeObserver* o) { o->AboutToInsert(parent, row, last); });
  int added = 0;
  for (auto& n : nodes) {
    n->parent_ = parent;
    SetLevels(n.get(), parent->data_.Level + 1);
    added += n->size_;
  }
  parent->children_.insert(parent->children_.begin() + row, std::make_move_iterator(nodes.begin()),
                           std::make_move_iterator(nodes.end()));
  Renumber(parent, row);
  AddToSizes(parent, added);
  Notify([&](TreeObserver* o) { o->Inserted(parent, row, last); });
}

std::unique_ptr<TreeNode> ConnectionTree::Take(TreeNode* node) {
  TreeNode* parent = node->parent_;
  assert(parent && "the top node cannot be removed");
  if (!parent) return nullptr;
  int row = node->row_;
  Notify([&](TreeObserver* o) { o->AboutToRemove(parent, row, row); });
  auto it = parent->children_.begin() + row;
  std::unique_ptr<TreeNode> taken = std::move(*it);
  parent->children_.erase(it);
  Renumber(parent, row);
  AddToSizes(parent, -taken->size_);
  taken->parent_ = nullptr;
  taken->row_ = 0;
  Notify([&](TreeObserver* o) { o->Removed(parent, row, row); });
  return taken;
}

bool ConnectionTree::Move(TreeNode* node, TreeNode* newParent, int destRow) {
  TreeNode* oldParent = node->parent_;
  if (!oldParent || !newParent || node == newParent || node->isAncestorOf(newParent)) return false;
  destRow = std::clamp(destRow, 0, newParent->childCount());
  int row = node->row_;
  if (oldParent == newParent && (destRow == row || destRow == row + 1)) return false;
  Notify([&](TreeObserver* o) { o->AboutToMove(oldParent, row, newParent, destRow); });
  std::unique_ptr<TreeNode> moving = std::move(oldParent->children_[static_cast<std::size_t>(row)]);
  oldParent->children_.erase(oldParent->children_.begin() + row);
  AddToSizes(oldParent, -moving->size_);
  int insertAt = (oldParent == newParent && destRow > row) ? destRow - 1 : destRow;
  moving->parent_ = newParent;
  SetLevels(moving.get(), newParent->data_.Level + 1);
  AddToSizes(newParent, moving->size_);
  newParent->children_.insert(newParent->children_.begin() + insertAt, std::move(moving));
  Renumber(oldParent, oldParent == newParent ? std::min(row, insertAt) : row);
  if (oldParent != newParent) Renumber(newParent, insertAt);
  Notify([&](TreeObserver* o) { o->Moved(oldParent, row, newParent, destRow); });
  return true;
}

void ConnectionTree::SetData(TreeNode* node, rVTNodeData data) {
  data.Level = node->data_.Level;
  node->data_ = std::move(data);
  Notify([&](TreeObserver* o) { o->DataChanged(node); });
}

void ConnectionTree::SetName(TreeNode* node, std::string name) {
  node->data_.Name = std::move(name);
  Notify([&](TreeObserver* o) { o->DataChanged(node); });
}

void ConnectionTree::Edit(TreeNode* node, const std::function<void(rVTNodeData&)>& edit) {
  int level = node->data_.Level;
  edit(node->data_);
  node->data_.Level = level;
  Notify([&](TreeObserver* o) { o->DataChanged(node); });
}

}  // namespace varnok
