#include "model/tree_history.h"

#include <gtest/gtest.h>

#include <random>

#include "files/node_transfer.h"
#include "files/vnk_file.h"
#include "model/tree_operations.h"
#include "tree_helpers.h"

namespace varnok {
namespace {

using test::Add;
using test::CheckInvariants;
using test::Full;
using test::Outline;

constexpr const char* kDefault = "0:0:0:192:192:192:255:255:255:0:0:128:255:0:0:0:0:0";

std::vector<TreeNode*> AllNodes(const ConnectionTree& tree) {
  std::vector<TreeNode*> nodes;
  for (TreeNode* n = tree.top(); n; n = ConnectionTree::next(n)) nodes.push_back(n);
  return nodes;
}

TEST(TreeHistory, UndoAndRedoReplayAGroupWithTheSameNodes) {
  ConnectionTree tree;
  TreeNode* a = Add(tree, tree.top(), "a");
  TreeNode* b = Add(tree, a, "b");
  Add(tree, b, "c");
  TreeNode* d = Add(tree, tree.top(), "d");
  TreeHistory history(tree);
  EXPECT_FALSE(history.canUndo()) << "building the tree above happened before the history";

  history.begin({a, {a}});
  DeleteNodes(tree, {b});
  tree.setName(d, "renamed");
  ASSERT_TRUE(tree.move(d, tree.top(), 0));
  history.end({d, {d}});
  EXPECT_EQ(Outline(tree), "renamed\na\n");
  EXPECT_EQ(history.undoCount(), 1U) << "one group is one step";

  auto before = history.undo();
  ASSERT_TRUE(before);
  EXPECT_EQ(before->focus, a);
  EXPECT_EQ(Outline(tree), "a\n  b\n    c\nd\n");
  EXPECT_EQ(a->child(0), b) << "the deleted branch comes back as the same nodes";
  EXPECT_EQ(CheckInvariants(tree), "");
  EXPECT_TRUE(history.canRedo());

  auto after = history.redo();
  ASSERT_TRUE(after);
  EXPECT_EQ(after->focus, d);
  EXPECT_EQ(Outline(tree), "renamed\na\n");
  EXPECT_EQ(CheckInvariants(tree), "");

  // A change outside a group is its own step, and a new step ends the redo.
  history.undo();
  tree.edit(a, [](rVTNodeData& r) { r.Macro = "x"; });
  EXPECT_FALSE(history.canRedo());
  EXPECT_EQ(history.undoCount(), 1U);
  history.undo();
  EXPECT_EQ(a->data().Macro, "");
  EXPECT_EQ(a->data().Level, 1);

  // An empty group leaves no step; clearing the tree forgets everything.
  history.begin({});
  history.end({});
  EXPECT_EQ(history.undoCount(), 0U);
  history.redo();
  tree.clear();
  EXPECT_FALSE(history.canUndo());
  EXPECT_FALSE(history.canRedo());
}

// Selected nodes in any order, spread over two sibling lists, some inside
// others' subtrees: each run of consecutive siblings goes in one removal, and
// the undo puts the very same nodes back with their order, levels and sizes.
// The owner of the file marks it changed from `changed`: once per step that
// changed the tree, and at every undo and redo, never for an empty group or
// a cleared history.
TEST(TreeHistory, ReportsEveryStepUndoAndRedoOnce) {
  ConnectionTree tree;
  TreeNode* a = Add(tree, tree.top(), "a");
  TreeHistory history(tree);
  int changes = 0;
  history.changed = [&] { ++changes; };

  history.begin({});
  history.end({});
  EXPECT_EQ(changes, 0) << "a group without changes";

  history.begin({});
  Add(tree, a, "b");
  tree.setName(a, "renamed");
  EXPECT_EQ(changes, 0) << "reported when the step ends, not per change";
  history.end({});
  EXPECT_EQ(changes, 1);

  tree.setName(a, "again");  // outside a group: a step of its own
  EXPECT_EQ(changes, 2);
  ASSERT_TRUE(history.undo());
  ASSERT_TRUE(history.redo());
  EXPECT_EQ(changes, 4);
  history.clear();
  EXPECT_FALSE(history.undo());
  EXPECT_EQ(changes, 4);
}

TEST(TreeHistory, DeletingRunsOfSiblingsIsOneRemovalEachAndUndoesExactly) {
  ConnectionTree tree;
  std::vector<TreeNode*> tops;
  for (int i = 0; i < 10; ++i) tops.push_back(Add(tree, tree.top(), "t" + std::to_string(i)));
  std::vector<TreeNode*> inner;
  for (int i = 0; i < 6; ++i) inner.push_back(Add(tree, tops[8], "i" + std::to_string(i)));
  Add(tree, inner[1], "deep");
  Add(tree, tops[2], "below t2");
  struct Removals : TreeObserver {
    std::vector<std::string> seen;
    void nodesAboutToBeRemoved(TreeNode* parent, int first, int last) override {
      seen.push_back(std::string(parent->name()) + ":" + std::to_string(first) + "-" + std::to_string(last));
    }
  } removals;
  tree.addObserver(&removals);
  TreeHistory history(tree);
  const std::string bytes = WriteConfiguration(tree);
  const std::string outline = Outline(tree);

  const std::vector<TreeNode*> selected{inner[4], tops[3], tops[2]->child(0), tops[6], inner[1],
                                        tops[1],  tops[4], inner[2],          tops[2], tree.top()};
  history.begin({tops[1], selected});
  EXPECT_EQ(DeleteNodes(tree, selected), 10);
  history.end({tree.top(), {tree.top()}});
  EXPECT_EQ(Outline(tree), "t0\nt5\nt7\nt8\n  i0\n  i3\n  i5\nt9\n");
  EXPECT_EQ(removals.seen, (std::vector<std::string>{"t8:4-4", "t8:1-2", ":6-6", ":1-4"}))
      << "one removal per run, the last run first";
  EXPECT_EQ(CheckInvariants(tree), "");
  const std::string deleted = WriteConfiguration(tree);

  ASSERT_TRUE(history.undo());
  EXPECT_EQ(Outline(tree), outline);
  EXPECT_EQ(WriteConfiguration(tree), bytes);
  EXPECT_EQ(CheckInvariants(tree), "");
  for (int i = 0; i < 10; ++i) EXPECT_EQ(tree.top()->child(i), tops[static_cast<std::size_t>(i)]);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(tops[8]->child(i), inner[static_cast<std::size_t>(i)]);
  EXPECT_EQ(tops[8]->subtreeSize(), 8);
  EXPECT_EQ(inner[1]->child(0)->data().Level, 3);

  removals.seen.clear();
  ASSERT_TRUE(history.redo());
  EXPECT_EQ(WriteConfiguration(tree), deleted);
  EXPECT_EQ(removals.seen.size(), 4U) << "the redo removes the same runs at once";
  EXPECT_EQ(CheckInvariants(tree), "");
  tree.removeObserver(&removals);
}

TEST(TreeHistory, KeepsAtMostItsLimitOfSteps) {
  ConnectionTree tree;
  TreeNode* a = Add(tree, tree.top(), "a");
  for (int i = 0; i < 5; ++i) Add(tree, a, "n" + std::to_string(i));
  TreeHistory history(tree, 3);
  while (a->hasChildren()) DeleteNodes(tree, {a->child(0)});
  EXPECT_EQ(history.undoCount(), 3U);
  while (history.undo()) {
  }
  EXPECT_EQ(Outline(tree), "a\n  n2\n  n3\n  n4\n") << "the two oldest deletes can no longer be undone";
}

TEST(TreeHistory, KeepsWithinItsByteBudgetButAlwaysTheNewestStep) {
  constexpr std::size_t kMacro = 1 << 20;
  ConnectionTree tree;
  TreeNode* a = Add(tree, tree.top(), "a");
  for (int i = 0; i < 6; ++i) {
    TreeNode* n = Add(tree, a, "n" + std::to_string(i));
    tree.edit(n, [](rVTNodeData& d) { d.Macro.assign(kMacro, 'x'); });
  }
  TreeHistory history(tree, 100, 3 * kMacro + kMacro / 2);
  while (a->hasChildren()) DeleteNodes(tree, {a->child(0)});
  EXPECT_EQ(history.undoCount(), 3U) << "each delete keeps a megabyte";
  EXPECT_GT(history.heldBytes(), 3 * kMacro);
  EXPECT_LE(history.heldBytes(), 3 * kMacro + kMacro / 2);
  while (history.undo()) {
  }
  EXPECT_EQ(Outline(tree), "a\n  n3\n  n4\n  n5\n") << "the three oldest deletes can no longer be undone";
  EXPECT_EQ(a->child(2)->data().Macro.size(), kMacro);
  EXPECT_EQ(CheckInvariants(tree), "");

  // Undone deletes hold nothing; a delete of everything is kept whole and
  // undone, though it alone is over the budget.
  EXPECT_LT(history.heldBytes(), kMacro);
  DeleteNodes(tree, {a});
  EXPECT_EQ(history.undoCount(), 1U);
  EXPECT_EQ(history.redoCount(), 0U);
  EXPECT_GT(history.heldBytes(), 3 * kMacro);
  ASSERT_TRUE(history.undo());
  EXPECT_EQ(Outline(tree), "a\n  n3\n  n4\n  n5\n");
  history.clear();
  EXPECT_EQ(history.heldBytes(), 0U);
}

TEST(TreeHistory, RoundsOfPasteAndDeleteOfManyNodesStayWithinTheBudget) {
  ConnectionTree tree;
  TreeNode* branch = Add(tree, tree.top(), "branch");
  for (int i = 0; i < 5000; ++i) Add(tree, branch, "n" + std::to_string(i));
  const std::string clipboard = SerializeNodes({branch});
  // About two deletes of the branch (each node held costs a little more than its record).
  constexpr std::size_t kBudget = 5000 * sizeof(TreeNode) * 5 / 2;
  TreeHistory history(tree, 100, kBudget);
  for (int round = 0; round < 30; ++round) {
    auto nodes = DeserializeNodes(clipboard);
    ASSERT_TRUE(nodes);
    std::vector<TreeNode*> pasted = PasteNodes(tree, tree.top(), std::move(*nodes));
    DeleteNodes(tree, pasted);
    ASSERT_LE(history.heldBytes(), kBudget) << "round " << round;
  }
  EXPECT_GE(history.undoCount(), 2U);
  EXPECT_LT(history.undoCount(), 10U) << "the removed nodes are counted";
  ASSERT_TRUE(history.undo());
  EXPECT_EQ(tree.top()->child(0)->childCount(), 5000) << "the newest delete comes back whole";
  EXPECT_EQ(CheckInvariants(tree), "");
}

TEST(NodeTransfer, SubtreesTravelWithRelativeLevelsAndDamageIsRefused) {
  ConnectionTree tree;
  TreeNode* a = Add(tree, tree.top(), "a");
  TreeNode* b = Add(tree, a, "b");
  Add(tree, b, "c");
  tree.setData(b, Full("b"));
  TreeNode* sep = Add(tree, a, "-x");
  const std::string bytes = SerializeNodes({b, sep});

  auto nodes = DeserializeNodes(bytes);
  ASSERT_TRUE(nodes);
  ASSERT_EQ(nodes->size(), 2U);
  ConnectionTree other;
  PasteNodes(other, other.top(), std::move(*nodes));
  EXPECT_EQ(Outline(other), "b\n  c\n----- separator line -----\n");
  rVTNodeData expected = Full("b");
  expected.Level = 1;
  EXPECT_EQ(other.top()->child(0)->data(), expected);
  EXPECT_EQ(CheckInvariants(other), "");

  EXPECT_FALSE(DeserializeNodes(bytes.substr(0, bytes.size() - 3))) << "cut inside a record";
  EXPECT_FALSE(DeserializeNodes("VNK20")) << "not a payload";
  auto none = DeserializeNodes(SerializeNodes({}));
  ASSERT_TRUE(none);
  EXPECT_TRUE(none->empty());
}

TEST(Paste, GoesFirstResolvesNamesAndCutNodesMove) {
  ConnectionTree tree;
  TreeNode* a = Add(tree, tree.top(), "a");
  TreeNode* x = Add(tree, a, "x");
  TreeNode* y = Add(tree, tree.top(), "y");
  Add(tree, y, "x");
  TreeNode* sep = Add(tree, tree.top(), "-");

  auto copies = DeserializeNodes(SerializeNodes({x}));
  ASSERT_TRUE(copies);
  std::vector<TreeNode*> pasted = PasteNodes(tree, a, std::move(*copies));
  ASSERT_EQ(pasted.size(), 1U);
  EXPECT_EQ(Outline(tree), "a\n  Copy of x\n  x\ny\n  x\n-\n")
      << "the pasted node goes first and takes the new name; the namesake keeps its own";

  EXPECT_TRUE(MoveNodesInto(tree, {a}, pasted[0]).empty()) << "into its own subtree";
  std::vector<TreeNode*> moved = MoveNodesInto(tree, {y->child(0), a}, y);
  ASSERT_EQ(moved.size(), 2U);
  EXPECT_EQ(moved[0], a) << "tree order, the top of the cut first";
  EXPECT_EQ(Outline(tree), "y\n  a\n    Copy of x\n    x\n  x\n-\n");

  MoveNodesInto(tree, {a}, sep);
  EXPECT_EQ(tree.top()->child(2), a) << "onto a separator: after it";
  EXPECT_EQ(CheckInvariants(tree), "");
}

// Random sequences of every tree operation, each one step; undoing them all
// brings back the saved bytes of each earlier state, and redoing them all the
// bytes of each later one.
TEST(TreeHistory, RandomOperationsUndoAndRedoToByteIdenticalFiles) {
  for (unsigned seed = 1; seed <= 40; ++seed) {
    std::mt19937 rng(seed);
    ConnectionTree tree;
    for (int i = 0; i < 12; ++i) {
      std::vector<TreeNode*> all = AllNodes(tree);
      TreeNode* parent = all[rng() % all.size()];
      if (!parent->isSeparator()) tree.setData(Add(tree, parent, "n" + std::to_string(i)), Full("n"));
    }
    TreeHistory history(tree);
    std::vector<std::string> states{WriteConfiguration(tree)};
    auto pick = [&] {
      std::vector<TreeNode*> all = AllNodes(tree);
      return all[rng() % all.size()];
    };
    for (int op = 0; op < 30; ++op) {
      TreeNode* n = pick();
      history.begin({n, {n}});
      switch (rng() % 10) {
        case 0:
          if (!n->isSeparator()) AddChild(tree, n, kDefault);
          break;
        case 1:
          if (n->parent()) AddSibling(tree, n, kDefault);
          break;
        case 2:
          if (n->parent()) AddSeparatorLine(tree, n, kDefault);
          break;
        case 3:
          if (n->parent()) Duplicate(tree, n);
          break;
        case 4:  // n with its next siblings, and one more anywhere
          DeleteNodes(tree,
                      {n->nextSibling(), pick(), n, n->nextSibling() ? n->nextSibling()->nextSibling() : n});
          break;
        case 5:
          if (n->parent()) (rng() % 2 ? MoveUp : MoveDown)(tree, n);
          break;
        case 6:
          DropNodes(tree, {n, pick()}, pick(), static_cast<DropMark>(rng() % 3), rng() % 2 == 0);
          break;
        case 7: {
          auto copies = DeserializeNodes(SerializeNodes(OutermostNodes(tree, {n, pick()})));
          if (copies && !copies->empty()) PasteNodes(tree, pick(), std::move(*copies));
          break;
        }
        case 8:
          MoveNodesInto(tree, {n}, pick());
          break;
        case 9:
          if (n->parent() && !n->hasChildren() && rng() % 2)
            ConvertToSeparator(tree, n);
          else if (n->parent())
            ApplyName(tree, n, " renamed ", kDefault);
          break;
      }
      history.end({n, {n}});
      ASSERT_EQ(CheckInvariants(tree), "") << "seed " << seed << " op " << op;
      // One state per step: an operation that changed nothing left none.
      if (history.undoCount() == states.size()) states.push_back(WriteConfiguration(tree));
      ASSERT_EQ(history.undoCount() + 1, states.size());
    }
    for (std::size_t i = states.size() - 1; i > 0; --i) {
      ASSERT_TRUE(history.undo());
      ASSERT_EQ(WriteConfiguration(tree), states[i - 1]) << "seed " << seed << " undo to state " << i - 1;
      ASSERT_EQ(CheckInvariants(tree), "");
    }
    for (std::size_t i = 1; i < states.size(); ++i) {
      ASSERT_TRUE(history.redo());
      ASSERT_EQ(WriteConfiguration(tree), states[i]) << "seed " << seed << " redo to state " << i;
    }
  }
}

}  // namespace
}  // namespace varnok
