#include "model/node_memory.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "model/connection_tree.h"
#include "model/tree_history.h"
#include "tree_helpers.h"

namespace varnok {
namespace {

using test::Add;
using test::CheckInvariants;
using test::Full;

bool InMemory(std::string_view s, const NodeMemory* memory) { return memory->holds(s.data()); }

TEST(NodeMemory, PiecesAreReusedByTheirSizeClassAndLargeOnesComeFromTheHeap) {
  NodeMemory* memory = NodeMemory::create();
  void* a = memory->allocate(40);
  void* b = memory->allocate(48);  // the same class of 48 bytes
  EXPECT_NE(a, b);
  EXPECT_EQ(memory->pooledBytesInUse(), 96u);
  memory->deallocate(a, 40);
  EXPECT_EQ(memory->allocate(33), a) << "a freed piece is taken again by its class";
  void* other = memory->allocate(100);
  EXPECT_NE(other, a);
  void* large = memory->allocate(NodeMemory::kLargestPooled + 1);
  EXPECT_EQ(memory->pooledBytesInUse(), 96u + 112u);
  memory->deallocate(large, NodeMemory::kLargestPooled + 1);
  const std::size_t mapped = memory->mappedBytes();
  EXPECT_GE(mapped, std::size_t{2} << 20);
  // A block is filled before the next one is taken.
  std::vector<void*> pieces;
  for (std::size_t used = 0; used < mapped / 2; used += 512) pieces.push_back(memory->allocate(512));
  EXPECT_EQ(memory->mappedBytes(), mapped);
  for (void* p : pieces) memory->deallocate(p, 512);
  for (void* p : {a, b, other}) memory->deallocate(p, 48);
  memory->release();  // ASan and LSan see the blocks go
}

TEST(NodeMemory, TreeNodesAndTheirTextsLiveInTheTreesMemory) {
  ConnectionTree tree;
  std::string macro(300, 'm');
  rVTNodeData d = Full("a connection name longer than sixteen bytes");
  d.Macro = macro;
  TreeNode* n = tree.insert(tree.top(), 0, ConnectionTree::newNode(d, tree.memory()));
  EXPECT_TRUE(InMemory(n->data().Name, tree.memory()));
  EXPECT_TRUE(InMemory(n->data().Macro, tree.memory()));
  EXPECT_EQ(n->data(), (rVTNodeData{d.Name, d.Macro, d.PopupText, d.Schedule, d.LastUpdated, d.Colors,
                                    d.NodeType, 1, d.StartLogging}));
  // Records copied out live on the general heap; assigned in, they move into the tree's memory.
  rVTNodeData copy = n->data();
  EXPECT_FALSE(InMemory(copy.Macro, tree.memory()));
  EXPECT_EQ(std::string_view(copy.Macro), macro);
  copy.Macro = std::string(500, 'x');
  tree.setData(n, copy);
  EXPECT_TRUE(InMemory(n->data().Macro, tree.memory()));
  EXPECT_EQ(std::string(n->data().Macro), std::string(500, 'x'));
  // A copy of a subtree goes where it is told, and a heap node fits into any tree.
  Add(tree, n, "child");
  auto cloned = ConnectionTree::clone(n, tree.memory());
  EXPECT_TRUE(InMemory(cloned->child(0)->data().Name, tree.memory()));
  tree.insert(tree.top(), 1, std::move(cloned));
  tree.insert(tree.top(), 2, ConnectionTree::newNode(Full("on the heap")));
  EXPECT_EQ(CheckInvariants(tree), "");
}

// The six texts share one piece: a rename re-packs them from views of the
// piece it replaces, a piece beyond the pooled sizes comes from the heap,
// and empty texts take none.
TEST(NodeMemory, PackedTextsSurviveRenamesAndEditsOfEverySize) {
  ConnectionTree tree;
  rVTNodeData d = Full("n");
  d.Macro = std::string(3000, 'm');
  TreeNode* n = tree.insert(tree.top(), 0, ConnectionTree::newNode(d, tree.memory()));
  EXPECT_FALSE(InMemory(n->data().Macro, tree.memory())) << "beyond the pooled sizes";
  tree.setName(n, "a longer name than before");
  d.Name = "a longer name than before";
  d.Level = 1;
  EXPECT_EQ(n->data(), d);
  tree.edit(n, [](rVTNodeData& r) { r.Macro = "short"; });
  d.Macro = "short";
  EXPECT_EQ(n->data(), d);
  EXPECT_TRUE(InMemory(n->data().Name, tree.memory()));
  tree.setData(n, {});
  EXPECT_EQ(n->data(), (rVTNodeData{.Level = 1}));
  EXPECT_FALSE(n->hasMacro());
  EXPECT_EQ(tree.memory()->pooledBytesInUse(), 2 * ((sizeof(TreeNode) + 15) / 16 * 16))
      << "the empty record holds no piece";
}

TEST(NodeMemory, RemovedNodesLiveOnInTheHistoryAndOutliveANewDocument) {
  ConnectionTree tree;
  TreeNode* a;
  {
    TreeHistory history(tree);
    a = tree.insert(tree.top(), 0, ConnectionTree::newNode(Full("kept node, a long name"), tree.memory()));
    Add(tree, a, "its child with a long name too");
    tree.remove(a);
    ASSERT_TRUE(history.undo());
    ASSERT_EQ(tree.top()->child(0), a) << "the very same node came back";
    EXPECT_EQ(a->child(0)->name(), "its child with a long name too");
    history.redo();
  }  // the history lets go of the removed nodes: they go back to the memory
  EXPECT_EQ(tree.count(), 1);

  a = tree.insert(tree.top(), 0, ConnectionTree::newNode(Full("taken node, a long name"), tree.memory()));
  Add(tree, a, "its child with a long name too");
  NodeMemory* first = tree.memory();
  auto taken = tree.takeRange(tree.top(), 0, 1);
  ASSERT_EQ(taken.size(), 1u);
  tree.clear();  // a new document: a fresh memory; the old one lives on with its nodes
  EXPECT_NE(tree.memory(), first);
  EXPECT_EQ(taken[0]->name(), "taken node, a long name");
  TreeNode* back = tree.insert(tree.top(), 0, std::move(taken[0]));
  EXPECT_EQ(back, a);
  EXPECT_EQ(back->child(0)->name(), "its child with a long name too");
  tree.setName(back, "renamed in the new document, after the clear");
  EXPECT_EQ(CheckInvariants(tree), "");
  tree.clear();  // the last nodes of the first memory go, and its blocks with them (ASan, LSan)
}

// A long editing session on the tree's memory: 100,000 random edits (texts
// of every size, renames, inserts, removals and moves) keep the tree sound,
// and the memory grows with what is alive at once, not with the edits.
TEST(NodeMemory, HundredThousandEditsKeepTheTreeAndABoundOnMemory) {
  ConnectionTree tree;
  std::mt19937 rng(14);
  auto text = [&](std::size_t most) {
    return std::string(rng() % (most + 1), static_cast<char>('a' + rng() % 26));
  };
  auto randomNode = [&]() {
    return tree.nodeAt(1 + static_cast<int>(rng() % static_cast<unsigned>(tree.count() - 1)));
  };
  for (int i = 0; i < 1000; ++i) {
    TreeNode* parent =
        i == 0 ? tree.top() : tree.nodeAt(static_cast<int>(rng() % static_cast<unsigned>(tree.count())));
    tree.insert(parent, parent->childCount(),
                ConnectionTree::newNode(Full("n" + std::to_string(i)), tree.memory()));
  }
  std::size_t mappedAfterWarmUp = 0;
  for (int step = 0; step < 100000; ++step) {
    const unsigned op = rng() % 10;
    TreeNode* n = randomNode();
    if (op < 6) {
      rVTNodeData d = n->data();
      d.Macro = text(op == 0 ? 3000 : 700);  // now and then beyond the pooled sizes
      d.PopupText = text(200);
      d.Colors = text(60);
      tree.setData(n, d);
    } else if (op < 8) {
      tree.setName(n, "name " + text(40));
    } else if (op == 8 && tree.count() > 500) {
      tree.remove(n);
    } else if (op == 9 || tree.count() <= 500) {
      TreeNode* parent = tree.nodeAt(static_cast<int>(rng() % static_cast<unsigned>(tree.count())));
      tree.insert(parent, 0, ConnectionTree::newNode(Full(text(30)), tree.memory()));
    }
    if (step == 10000) mappedAfterWarmUp = tree.memory()->mappedBytes();
  }
  EXPECT_EQ(CheckInvariants(tree), "");
  // Without reuse the edits alone would take hundreds of megabytes.
  EXPECT_LE(tree.memory()->mappedBytes(), 2 * mappedAfterWarmUp);
  EXPECT_LE(tree.memory()->mappedBytes(), std::size_t{16} << 20);
}

}  // namespace
}  // namespace varnok
