#include "model/connection_tree.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

#include "tree_helpers.h"

namespace varnok {
namespace {

using test::Add;
using test::CheckInvariants;
using test::Outline;

// Replays the notifications onto a shadow copy of the shape, the way a Qt
// item model would, and checks that the rows announced match the tree.
class ShadowObserver : public TreeObserver {
 public:
  explicit ShadowObserver(ConnectionTree& tree) : tree_(tree) { rebuild(); }

  void nodesAboutToBeInserted(TreeNode* parent, int first, int last) override {
    expect(!pending_ && first >= 0 && first <= count(parent) && last >= first, "bad insert rows");
    pending_ = true;
  }
  void nodesInserted(TreeNode* parent, int first, int last) override {
    pending_ = false;
    auto& kids = shadow_[parent];
    for (int r = first; r <= last; ++r) {
      kids.insert(kids.begin() + r, parent->child(r));
      addSubtree(parent->child(r));
    }
  }
  void nodesAboutToBeRemoved(TreeNode* parent, int first, int last) override {
    expect(first >= 0 && last < count(parent) && shadow_[parent][first] == parent->child(first),
           "bad remove rows");
  }
  void nodesRemoved(TreeNode* parent, int first, int last) override {
    auto& kids = shadow_[parent];
    kids.erase(kids.begin() + first, kids.begin() + last + 1);
  }
  void nodeAboutToBeMoved(TreeNode* src, int row, TreeNode* dst, int destRow) override {
    expect(shadow_[src][row] == src->child(row), "bad move source");
    expect(destRow >= 0 && destRow <= count(dst), "bad move destination");
    expect(!(src == dst && (destRow == row || destRow == row + 1)), "move that Qt refuses");
  }
  void nodeMoved(TreeNode* src, int row, TreeNode* dst, int destRow) override {
    auto& from = shadow_[src];
    TreeNode* n = from[row];
    from.erase(from.begin() + row);
    int at = (src == dst && destRow > row) ? destRow - 1 : destRow;
    auto& to = shadow_[dst];
    to.insert(to.begin() + at, n);
  }
  void treeAboutToBeReset() override { resets_++; }
  void treeReset() override { rebuild(); }

  // "" when the shadow equals the tree.
  std::string compare() const {
    if (!error_.empty()) return error_;
    for (const TreeNode* n = tree_.top(); n; n = ConnectionTree::next(n)) {
      auto it = shadow_.find(const_cast<TreeNode*>(n));
      int count = it == shadow_.end() ? 0 : static_cast<int>(it->second.size());
      if (count != n->childCount()) return "child count differs at " + std::string(n->name());
      for (int r = 0; r < count; ++r)
        if (it->second[r] != n->child(r)) return "child differs at " + std::string(n->name());
    }
    return "";
  }
  int resets_ = 0;

 private:
  int count(TreeNode* p) { return static_cast<int>(shadow_[p].size()); }
  void expect(bool ok, const char* what) {
    if (!ok && error_.empty()) error_ = what;
  }
  void addSubtree(TreeNode* n) {
    auto& kids = shadow_[n];
    kids.clear();
    for (int r = 0; r < n->childCount(); ++r) {
      kids.push_back(n->child(r));
      addSubtree(n->child(r));
    }
  }
  void rebuild() {
    shadow_.clear();
    addSubtree(tree_.top());
  }
  ConnectionTree& tree_;
  std::map<TreeNode*, std::vector<TreeNode*>> shadow_;
  bool pending_ = false;
  std::string error_;
};

TEST(ConnectionTree, InsertMoveRemoveKeepLevelsRowsAndSizes) {
  ConnectionTree tree;
  TreeNode* a = Add(tree, tree.top(), "a");
  TreeNode* b = Add(tree, a, "b");
  Add(tree, b, "c");
  TreeNode* d = Add(tree, tree.top(), "d");
  EXPECT_EQ(Outline(tree), "a\n  b\n    c\nd\n");
  EXPECT_EQ(tree.count(), 5);

  // A subtree moved two levels deeper keeps its shape; Level follows.
  ASSERT_TRUE(tree.move(d, b, 0));
  EXPECT_EQ(Outline(tree), "a\n  b\n    d\n    c\n");
  EXPECT_EQ(d->data().Level, 3);
  ASSERT_TRUE(tree.move(b, tree.top(), 1));
  EXPECT_EQ(Outline(tree), "a\nb\n  d\n  c\n");
  EXPECT_EQ(b->child(1)->data().Level, 2);
  EXPECT_EQ(CheckInvariants(tree), "");

  EXPECT_FALSE(tree.move(b, d, 0)) << "into its own subtree";
  EXPECT_FALSE(tree.move(tree.top(), a, 0));
  EXPECT_FALSE(tree.move(a, tree.top(), 1)) << "no change";

  auto taken = tree.take(b);
  EXPECT_EQ(taken->subtreeSize(), 3);
  EXPECT_EQ(Outline(tree), "a\n");
  EXPECT_EQ(CheckInvariants(tree), "");
  tree.insert(a, 0, std::move(taken));
  EXPECT_EQ(Outline(tree), "a\n  b\n    d\n    c\n");
  EXPECT_EQ(CheckInvariants(tree), "");
}

TEST(ConnectionTree, AbsoluteIndexAndNodeAtAgreeWithThePreOrderWalk) {
  ConnectionTree tree;
  std::mt19937 rng(3);
  std::vector<TreeNode*> nodes{tree.top()};
  for (int i = 0; i < 300; ++i)
    nodes.push_back(Add(tree, nodes[rng() % nodes.size()], "n" + std::to_string(i)));
  int index = 0;
  for (TreeNode* n = tree.top(); n; n = ConnectionTree::next(n), ++index) {
    ASSERT_EQ(tree.absoluteIndex(n), index);
    ASSERT_EQ(tree.nodeAt(index), n);
  }
  EXPECT_EQ(index, tree.count());
  EXPECT_EQ(tree.nodeAt(index), nullptr);
  EXPECT_EQ(tree.nodeAt(-1), nullptr);
  // The order of two places agrees with their indexes (ancestors, siblings, cousins).
  for (int i = 0; i < 3000; ++i) {
    const TreeNode* a = nodes[rng() % nodes.size()];
    const TreeNode* b = i % 3 ? nodes[rng() % nodes.size()] : a->parent() ? a->parent() : a;
    ASSERT_EQ(ConnectionTree::comesBefore(a, b), tree.absoluteIndex(a) < tree.absoluteIndex(b))
        << a->name() << " / " << b->name();
  }
}

TEST(ConnectionTree, RandomEditsAnnounceExactlyTheRowsThatChange) {
  ConnectionTree tree;
  ShadowObserver shadow(tree);
  tree.addObserver(&shadow);
  std::mt19937 rng(11);
  auto pick = [&](bool allowTop) {
    int first = allowTop ? 0 : 1;
    if (tree.count() <= first) return static_cast<TreeNode*>(nullptr);
    return tree.nodeAt(first + static_cast<int>(rng() % (tree.count() - first)));
  };
  for (int step = 0; step < 3000; ++step) {
    int op = static_cast<int>(rng() % 10);
    if (op < 4 || tree.count() < 3) {
      TreeNode* p = pick(true);
      tree.insert(p, static_cast<int>(rng() % (p->childCount() + 1)),
                  ConnectionTree::newNode({.Name = std::pmr::string("n" + std::to_string(step))}));
    } else if (op < 7) {
      TreeNode* n = pick(false);
      TreeNode* p = pick(true);
      tree.move(n, p, static_cast<int>(rng() % (p->childCount() + 1)));
    } else if (op < 8) {
      TreeNode* n = pick(false);
      TreeNode* p = n->parent();
      tree.insert(p, n->row() + 1, ConnectionTree::clone(n));
    } else if (op < 9) {
      TreeNode* n = pick(false);
      if (step % 2)
        tree.remove(n);
      else  // up to three siblings from n on, fewer at the end of the list
        tree.removeRange(n->parent(), n->row(), 1 + static_cast<int>(rng() % 3));
    } else if (step % 500 == 0) {
      tree.clear();
    }
    ASSERT_EQ(CheckInvariants(tree), "") << "step " << step;
    ASSERT_EQ(shadow.compare(), "") << "step " << step;
  }
  EXPECT_GT(tree.count(), 50);
  tree.removeObserver(&shadow);
}

TEST(ConnectionTree, RecordChangesKeepLevelAndAreAnnounced) {
  struct Counter : TreeObserver {
    int changed = 0;
    void nodeDataChanged(TreeNode*) override { ++changed; }
  } counter;
  ConnectionTree tree;
  tree.addObserver(&counter);
  TreeNode* a = Add(tree, tree.top(), "a");
  TreeNode* b = Add(tree, a, "b");
  tree.setData(b, {.Name = "x", .Level = 7});
  tree.edit(b, [](rVTNodeData& d) {
    d.Macro = "m";
    d.Level = 9;
  });
  tree.setName(a, "y");
  EXPECT_EQ(counter.changed, 3);
  EXPECT_EQ(b->data().Level, 2);
  EXPECT_EQ(b->data().Macro, "m");
  EXPECT_EQ(Outline(tree), "y\n  x\n");
}

// The readers append in pre-order; other orders must give the same sizes,
// and a built or hand-made subtree must take the levels of where it goes.
TEST(ConnectionTree, BuiltAndHandMadeSubtreesTakeSizesAndLevelsOfTheirPlace) {
  ConnectionTree tree;
  TreeNode* deep = Add(tree, Add(tree, tree.top(), "p"), "q");

  SubtreeBuilder builder;
  TreeNode* a = builder.append(builder.root(), {.Name = "a", .Level = 7});
  TreeNode* b = builder.append(a, {.Name = "b"});
  builder.append(b, {.Name = "c"});
  builder.append(builder.root(), {.Name = "d"});
  builder.append(a, {.Name = "e"});  // back below a: not in pre-order
  builder.append(b, {.Name = "f"});
  auto roots = builder.finish();
  ASSERT_EQ(roots.size(), 2u);
  EXPECT_EQ(roots[0]->subtreeSize(), 5);
  tree.insertRange(deep, 0, std::move(roots));
  EXPECT_EQ(Outline(tree), "p\n  q\n    a\n      b\n        c\n        f\n      e\n    d\n");
  EXPECT_EQ(CheckInvariants(tree), "");

  // Hand-made: records with any Level, put together before the insert.
  auto top = ConnectionTree::newNode({.Name = "h", .Level = 1});
  auto mid = ConnectionTree::newNode({.Name = "i", .Level = 1});
  ConnectionTree::appendDetached(mid.get(), ConnectionTree::newNode({.Name = "j", .Level = 9}));
  ConnectionTree::appendDetached(top.get(), std::move(mid));
  tree.insert(tree.top(), 1, std::move(top));
  EXPECT_EQ(CheckInvariants(tree), "");
  ASSERT_TRUE(tree.move(tree.top()->child(1), deep, 0));
  EXPECT_EQ(CheckInvariants(tree), "");
  EXPECT_EQ(Outline(tree),
            "p\n  q\n    h\n      i\n        j\n    a\n      b\n        c\n        f\n      e\n    d\n");
}

TEST(ConnectionTree, DeepChainsNeedNoRecursion) {
  ConnectionTree tree;
  SubtreeBuilder builder;
  TreeNode* n = builder.root();
  for (int i = 0; i < 200000; ++i) n = builder.append(n, {.Name = "d"});
  tree.insertRange(tree.top(), 0, builder.finish());
  EXPECT_EQ(n->data().Level, 200000);
  EXPECT_EQ(tree.count(), 200001);
  auto copy = ConnectionTree::clone(tree.top()->child(0));
  EXPECT_EQ(copy->subtreeSize(), 200000);
  tree.clear();
  EXPECT_EQ(tree.count(), 1);
}

}  // namespace
}  // namespace varnok
