#include "model/connection_tree.h"

#include <algorithm>
#include <cassert>

namespace varnok {

TreeNode::~TreeNode() {
  texts_.release(memory_);
  std::vector<std::unique_ptr<TreeNode>> pending = std::move(children_);
  while (!pending.empty()) {
    std::unique_ptr<TreeNode> n = std::move(pending.back());
    pending.pop_back();
    for (auto& c : n->children_) pending.push_back(std::move(c));
    n->children_.clear();
  }
}

TreeNode::TreeNode(const rVTNodeView& data, NodeMemory* memory) : memory_(memory) {
  store(data);
  level_ = data.Level;
}

void TreeNode::store(const rVTNodeView& data) {
  texts_.assign({data.Name, data.Macro, data.PopupText, data.Schedule, data.LastUpdated, data.Colors},
                memory_);
  nodeType_ = data.NodeType;
  startLogging_ = data.StartLogging;
}

void TreeNode::operator delete(TreeNode* node, std::destroying_delete_t) {
  NodeMemory* memory = node->memory_;
  node->~TreeNode();
  if (!memory) {
    ::operator delete(node);
    return;
  }
  memory->deallocate(node, sizeof(TreeNode), alignof(TreeNode));
  memory->release();
}

SubtreeBuilder::SubtreeBuilder(NodeMemory* memory)
    : root_(ConnectionTree::newNode()), memory_(memory), path_{root_.get()} {}

void SubtreeBuilder::closeLast() {
  TreeNode* done = path_.back();
  path_.pop_back();
  path_.back()->size_ += done->size_;
}

TreeNode* SubtreeBuilder::appendFrom(TreeNode* parent, const rVTNodeView& data) {
  auto node = ConnectionTree::newNodeFrom(data, memory_);
  TreeNode* n = node.get();
  n->level_ = parent->level_ + 1;
  n->parent_ = parent;
  n->row_ = parent->childCount();
  parent->children_.push_back(std::move(node));
  ++count_;
  if (inPreOrder_) {
    while (path_.size() > 1 && path_.back() != parent) closeLast();
    if (path_.back() == parent)
      path_.push_back(n);
    else
      inPreOrder_ = false;
  }
  return n;
}

std::vector<std::unique_ptr<TreeNode>> SubtreeBuilder::finish() {
  if (inPreOrder_) {
    while (path_.size() > 1) closeLast();
  } else {
    // Sizes bottom-up: the reverse of a pre-order visits children before parents.
    std::vector<TreeNode*> order;
    order.reserve(static_cast<std::size_t>(count_));
    for (TreeNode* n = ConnectionTree::nextInSubtree(root_.get(), root_.get()); n;
         n = ConnectionTree::nextInSubtree(n, root_.get()))
      order.push_back(n);
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
      TreeNode* n = *it;
      n->size_ = 1;
      for (auto& c : n->children_) n->size_ += c->size_;
    }
  }
  std::vector<std::unique_ptr<TreeNode>> roots = std::move(root_->children_);
  root_->children_.clear();
  root_->size_ = 1;
  for (auto& r : roots) r->parent_ = nullptr;
  count_ = 0;
  path_.assign(1, root_.get());
  inPreOrder_ = true;
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

ConnectionTree::ConnectionTree() : top_(newNode({}, memory_.get())) {}

void ConnectionTree::addObserver(TreeObserver* observer) { observers_.push_back(observer); }

void ConnectionTree::removeObserver(TreeObserver* observer) {
  observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
}

void ConnectionTree::clear() {
  notify([](TreeObserver* o) { o->treeAboutToBeReset(); });
  // A fresh memory for the new configuration; the old one goes back to the
  // system with its last node (at once, unless the history still holds some).
  memory_.renew();
  top_ = newNode({}, memory_.get());
  if (recorder_) recorder_->recordReset();
  notify([](TreeObserver* o) { o->treeReset(); });
}

TreeNode* ConnectionTree::next(const TreeNode* node) { return nextInSubtree(node, nullptr); }

TreeNode* ConnectionTree::nextInSubtree(const TreeNode* node, const TreeNode* root) {
  if (node->hasChildren()) return node->firstChild();
  for (const TreeNode* n = node; n && n != root; n = n->parent_) {
    if (TreeNode* s = n->nextSibling()) return s;
  }
  return nullptr;
}

int ConnectionTree::absoluteIndex(const TreeNode* node) const {
  int index = 0;
  for (const TreeNode* n = node; n->parent_; n = n->parent_) {
    index += 1;
    const TreeNode* p = n->parent_;
    for (int r = 0; r < n->row_; ++r) index += p->child(r)->size_;
  }
  return index;
}

TreeNode* ConnectionTree::nodeAt(int index) const {
  if (index < 0 || index >= count()) return nullptr;
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

int ConnectionTree::depth(const TreeNode* node) {
  int d = 0;
  for (const TreeNode* p = node->parent_; p; p = p->parent_) ++d;
  return d;
}

bool ConnectionTree::comesBefore(const TreeNode* a, const TreeNode* b) {
  if (a == b) return false;
  int da = depth(a);
  int db = depth(b);
  // Up to the same depth; meeting the other node there makes it an ancestor.
  for (; da > db; --da) a = a->parent_;
  if (a == b) return false;
  for (; db > da; --db) b = b->parent_;
  if (a == b) return true;
  while (a->parent_ != b->parent_) {
    a = a->parent_;
    b = b->parent_;
  }
  return a->row_ < b->row_;
}

std::unique_ptr<TreeNode> ConnectionTree::newNode(const rVTNodeData& data, NodeMemory* memory) {
  return newNodeFrom(ViewOf(data), memory);
}

std::unique_ptr<TreeNode> ConnectionTree::newNodeFrom(const rVTNodeView& data, NodeMemory* memory) {
  if (!memory) return std::make_unique<TreeNode>(data);
  void* place = memory->allocate(sizeof(TreeNode), alignof(TreeNode));
  TreeNode* node = nullptr;
  try {
    node = ::new (place) TreeNode(data, memory);
  } catch (...) {
    memory->deallocate(place, sizeof(TreeNode), alignof(TreeNode));
    throw;
  }
  memory->retain();
  return std::unique_ptr<TreeNode>(node);
}

std::unique_ptr<TreeNode> ConnectionTree::clone(const TreeNode* node, NodeMemory* memory) {
  SubtreeBuilder builder(memory);
  TreeNode* copy = builder.appendFrom(builder.root(), node->data());
  // The same names in the same order: the lists stand as the original's.
  copy->namesResolved_ = node->namesResolved_;
  copy->changedChildren_ = node->changedChildren_;
  const TreeNode* source = node;
  for (const TreeNode* s = nextInSubtree(node, node); s; s = nextInSubtree(s, node)) {
    while (source != s->parent_) {
      source = source->parent_;
      copy = copy->parent_;
    }
    copy = builder.appendFrom(copy, s->data());
    copy->namesResolved_ = s->namesResolved_;
    copy->changedChildren_ = s->changedChildren_;
    copy->nameChanged_ = s->nameChanged_;
    source = s;
  }
  auto roots = builder.finish();
  return std::move(roots.front());
}

TreeNode* ConnectionTree::appendDetached(TreeNode* parent, std::unique_ptr<TreeNode> child) {
  TreeNode* c = child.get();
  c->parent_ = parent;
  c->row_ = parent->childCount();
  parent->children_.push_back(std::move(child));
  addToSizes(parent, c->size_);
  setLevels(c, parent->level_ + 1);
  return c;
}

void ConnectionTree::markChanged(TreeNode* node) {
  node->nameChanged_ = true;
  if (node->parent_) node->parent_->changedChildren_ = true;
}

void ConnectionTree::markChildNamesResolved(TreeNode* node) {
  if (node->changedChildren_)
    for (auto& c : node->children_) c->nameChanged_ = false;
  node->namesResolved_ = true;
  node->changedChildren_ = false;
}

void ConnectionTree::setLevels(TreeNode* root, int level) {
  if (root->level_ == level) return;  // the levels below follow it already
  root->level_ = level;
  for (TreeNode* n = nextInSubtree(root, root); n; n = nextInSubtree(n, root))
    n->level_ = n->parent_->level_ + 1;
}

void ConnectionTree::renumber(TreeNode* parent, int fromRow) {
  for (int r = fromRow; r < parent->childCount(); ++r)
    parent->children_[static_cast<std::size_t>(r)]->row_ = r;
}

void ConnectionTree::addToSizes(TreeNode* from, int delta) {
  for (TreeNode* p = from; p; p = p->parent_) p->size_ += delta;
}

TreeNode* ConnectionTree::insert(TreeNode* parent, int row, std::unique_ptr<TreeNode> node) {
  TreeNode* n = node.get();
  std::vector<std::unique_ptr<TreeNode>> one;
  one.push_back(std::move(node));
  insertRange(parent, row, std::move(one));
  return n;
}

void ConnectionTree::insertRange(TreeNode* parent, int row, std::vector<std::unique_ptr<TreeNode>> nodes) {
  if (nodes.empty()) return;
  row = std::clamp(row, 0, parent->childCount());
  int last = row + static_cast<int>(nodes.size()) - 1;
  notify([&](TreeObserver* o) { o->nodesAboutToBeInserted(parent, row, last); });
  int added = 0;
  for (auto& n : nodes) {
    n->parent_ = parent;
    setLevels(n.get(), parent->level_ + 1);
    added += n->size_;
  }
  for (auto& n : nodes) markChanged(n.get());
  parent->children_.insert(parent->children_.begin() + row, std::make_move_iterator(nodes.begin()),
                           std::make_move_iterator(nodes.end()));
  renumber(parent, row);
  addToSizes(parent, added);
  if (recorder_) recorder_->recordInserted(parent, row, last - row + 1);
  notify([&](TreeObserver* o) { o->nodesInserted(parent, row, last); });
}

std::unique_ptr<TreeNode> ConnectionTree::take(TreeNode* node) {
  assert(!recorder_ && "a taken node is not recorded");
  assert(node->parent_ && "the top node cannot be removed");
  if (!node->parent_) return nullptr;
  return std::move(detachRange(node->parent_, node->row_, 1).front());
}

std::vector<std::unique_ptr<TreeNode>> ConnectionTree::takeRange(TreeNode* parent, int first, int count) {
  assert(!recorder_ && "taken nodes are not recorded");
  return detachRange(parent, first, count);
}

void ConnectionTree::remove(TreeNode* node) {
  assert(node->parent_ && "the top node cannot be removed");
  if (node->parent_) removeRange(node->parent_, node->row_, 1);
}

void ConnectionTree::removeRange(TreeNode* parent, int first, int count) {
  first = std::clamp(first, 0, parent->childCount());
  std::vector<std::unique_ptr<TreeNode>> removed = detachRange(parent, first, count);
  if (recorder_ && !removed.empty()) recorder_->recordRemoved(parent, first, std::move(removed));
}

std::vector<std::unique_ptr<TreeNode>> ConnectionTree::detachRange(TreeNode* parent, int first, int count) {
  first = std::clamp(first, 0, parent->childCount());
  count = std::clamp(count, 0, parent->childCount() - first);
  if (count == 0) return {};
  const int last = first + count - 1;
  notify([&](TreeObserver* o) { o->nodesAboutToBeRemoved(parent, first, last); });
  auto begin = parent->children_.begin() + first;
  std::vector<std::unique_ptr<TreeNode>> taken(std::make_move_iterator(begin),
                                               std::make_move_iterator(begin + count));
  parent->children_.erase(begin, begin + count);
  renumber(parent, first);
  int removed = 0;
  for (auto& n : taken) {
    removed += n->size_;
    n->parent_ = nullptr;
    n->row_ = 0;
  }
  addToSizes(parent, -removed);
  notify([&](TreeObserver* o) { o->nodesRemoved(parent, first, last); });
  return taken;
}

bool ConnectionTree::move(TreeNode* node, TreeNode* newParent, int destRow) {
  TreeNode* oldParent = node->parent_;
  if (!oldParent || !newParent || node == newParent || node->isAncestorOf(newParent)) return false;
  destRow = std::clamp(destRow, 0, newParent->childCount());
  int row = node->row_;
  if (oldParent == newParent && (destRow == row || destRow == row + 1)) return false;
  notify([&](TreeObserver* o) { o->nodeAboutToBeMoved(oldParent, row, newParent, destRow); });
  std::unique_ptr<TreeNode> moving = std::move(oldParent->children_[static_cast<std::size_t>(row)]);
  oldParent->children_.erase(oldParent->children_.begin() + row);
  addToSizes(oldParent, -moving->size_);
  int insertAt = (oldParent == newParent && destRow > row) ? destRow - 1 : destRow;
  moving->parent_ = newParent;
  markChanged(moving.get());  // a new member, or a new place among the siblings
  setLevels(moving.get(), newParent->level_ + 1);
  addToSizes(newParent, moving->size_);
  newParent->children_.insert(newParent->children_.begin() + insertAt, std::move(moving));
  renumber(oldParent, oldParent == newParent ? std::min(row, insertAt) : row);
  if (oldParent != newParent) renumber(newParent, insertAt);
  if (recorder_) recorder_->recordMoved(node, oldParent, row);
  notify([&](TreeObserver* o) { o->nodeMoved(oldParent, row, newParent, destRow); });
  return true;
}

void ConnectionTree::setData(TreeNode* node, rVTNodeData data) {
  if (data.Name != node->name()) markChanged(node);
  // What the recorder keeps is a copy on the general heap.
  rVTNodeData before;
  if (recorder_) before = node->data();
  node->store(ViewOf(data));
  if (recorder_) recorder_->recordDataChanged(node, std::move(before));
  notify([&](TreeObserver* o) { o->nodeDataChanged(node); });
}

void ConnectionTree::setName(TreeNode* node, std::string name) {
  if (name != node->name()) markChanged(node);
  std::string before(node->name());
  rVTNodeView d = node->data();
  d.Name = name;
  node->store(d);
  if (recorder_) recorder_->recordNameChanged(node, std::move(before));
  notify([&](TreeObserver* o) { o->nodeDataChanged(node); });
}

void ConnectionTree::edit(TreeNode* node, const std::function<void(rVTNodeData&)>& change) {
  rVTNodeData d = node->data();
  rVTNodeData before;
  if (recorder_) before = d;
  change(d);
  if (d.Name != node->name()) markChanged(node);
  node->store(ViewOf(d));
  if (recorder_) recorder_->recordDataChanged(node, std::move(before));
  notify([&](TreeObserver* o) { o->nodeDataChanged(node); });
}

}  // namespace varnok
