#include "model/tree_operations.h"

#include <gtest/gtest.h>

#include "tree_helpers.h"

namespace varnok {
namespace {

using test::Add;
using test::CheckInvariants;
using test::Outline;

constexpr const char* kDefault = "0:0:0:192:192:192:255:255:255:0:0:128:255:0:0:0:0:0";

// A selection in any order comes back in tree order, without the top node,
// duplicates and nodes inside another chosen node; across levels, a deeper
// node sorts before a later sibling of its ancestor.
TEST(TreeOperations, OutermostNodesAreInTreeOrder) {
  ConnectionTree tree;
  TreeNode* a = Add(tree, tree.top(), "a");
  TreeNode* a1 = Add(tree, a, "a1");
  TreeNode* a1x = Add(tree, a1, "a1x");
  TreeNode* a2 = Add(tree, a, "a2");
  TreeNode* b = Add(tree, tree.top(), "b");
  TreeNode* b1 = Add(tree, b, "b1");
  std::vector<TreeNode*> siblings;
  for (int i = 0; i < 12; ++i) siblings.push_back(Add(tree, tree.top(), "s" + std::to_string(i)));
  std::vector<TreeNode*> chosen = {siblings[11], b, a2, tree.top(), siblings[2], a1x, b1, siblings[10], a2};
  EXPECT_EQ(OutermostNodes(tree, chosen),
            (std::vector<TreeNode*>{a1x, a2, b, siblings[2], siblings[10], siblings[11]}));
}

TEST(TreeOperations, AddChildGoesFirstAndTakesColoursFromTheRightPlace) {
  ConnectionTree tree;
  AddResult r = AddChild(tree, tree.top(), kDefault);
  EXPECT_EQ(r.focus, tree.top());
  EXPECT_EQ(r.added->name(), "Unnamed connection #1");
  EXPECT_EQ(r.added->data().Colors, kDefault);
  EXPECT_TRUE(r.added->data().StartLogging);
  TreeNode* jump = r.added;
  tree.edit(jump, [](rVTNodeData& d) {
    d.Colors = "1:2:3";
    d.StartLogging = false;
  });
  TreeNode* first = AddChild(tree, jump, kDefault).added;
  AddResult second = AddChild(tree, jump, kDefault);
  EXPECT_EQ(jump->child(0), second.added) << "a new child is always the first child";
  EXPECT_EQ(jump->child(1), first);
  EXPECT_EQ(second.focus, jump);
  EXPECT_EQ(second.expand, jump);
  EXPECT_EQ(second.added->name(), "Unnamed connection #3");
  EXPECT_EQ(second.added->data().Colors, "1:2:3");
  EXPECT_FALSE(second.added->data().StartLogging);
  EXPECT_EQ(second.added->data().Level, 2);

  AddResult sibling = AddSibling(tree, first, kDefault);
  EXPECT_EQ(first->nextSibling(), sibling.added);
  EXPECT_EQ(sibling.focus, first);
  EXPECT_EQ(sibling.added->data().Colors, "1:2:3");
  AddResult sep = AddSeparatorLine(tree, first, kDefault);
  EXPECT_EQ(first->nextSibling(), sep.added);
  EXPECT_EQ(sep.focus, sep.added);
  EXPECT_EQ(sep.added->name(), kSeparatorName);
  EXPECT_EQ(AddSibling(tree, tree.top(), kDefault).added, nullptr);
  EXPECT_EQ(CheckInvariants(tree), "");
}

TEST(TreeOperations, DuplicateRenamesOnlyTheCopy) {
  ConnectionTree tree;
  TreeNode* server = Add(tree, tree.top(), "Server");
  Add(tree, server, "child");
  Add(tree, tree.top(), "Copy of Server");
  AddResult r = Duplicate(tree, server);
  EXPECT_EQ(r.focus, r.added);
  EXPECT_EQ(Outline(tree), "Server\n  child\nCopy (2) of Server\n  child\nCopy of Server\n")
      << "the sibling after the copy keeps its name";

  ConnectionTree plain;
  TreeNode* s = Add(plain, plain.top(), "Server");
  Add(plain, plain.top(), "Router");
  Duplicate(plain, s);
  EXPECT_EQ(Outline(plain), "Server\nCopy of Server\nRouter\n");

  ConnectionTree seps;
  TreeNode* line = Add(seps, seps.top(), "-old");
  AddResult copy = Duplicate(seps, line);
  EXPECT_EQ(Outline(seps), "----- separator line -----\n----- separator line -----\n");
  EXPECT_EQ(copy.focus, seps.top()->child(1));
}

TEST(TreeOperations, ConfirmDeleteAsksOnlyWhenSomethingIsLost) {
  ConnectionTree tree;
  TreeNode* bare = Add(tree, tree.top(), "bare");
  TreeNode* sep = Add(tree, tree.top(), std::string(kSeparatorName));
  TreeNode* withMacro = Add(tree, tree.top(), "mac");
  tree.edit(withMacro, [](rVTNodeData& d) { d.PopupText = "x"; });
  TreeNode* parent = Add(tree, tree.top(), "jump");
  Add(tree, parent, "r1");

  EXPECT_FALSE(ConfirmDelete(tree, {}).deleteWithoutAsking);
  EXPECT_EQ(ConfirmDelete(tree, {}).kind, DeleteQuestion::Kind::None);
  EXPECT_TRUE(ConfirmDelete(tree, {sep}).deleteWithoutAsking);
  EXPECT_TRUE(ConfirmDelete(tree, {bare}).deleteWithoutAsking);
  EXPECT_TRUE(ConfirmDelete(tree, {bare, sep}).deleteWithoutAsking);

  DeleteQuestion q = ConfirmDelete(tree, {withMacro, sep});
  EXPECT_EQ(q.kind, DeleteQuestion::Kind::Warning);
  EXPECT_EQ(q.text, "Connection 'mac' with associated data will be deleted.\rDo you want to continue?");
  q = ConfirmDelete(tree, {parent});
  EXPECT_EQ(q.text,
            "Connection 'jump' with all descendants \rand associated data will be deleted.\rDo you want to "
            "continue?");
  q = ConfirmDelete(tree, {parent, sep, bare});
  EXPECT_EQ(q.kind, DeleteQuestion::Kind::Confirmation);
  EXPECT_EQ(
      q.text,
      "Deleting 2 connections. All descendant connections will be also deleted.\rDo you want to continue?");
  EXPECT_EQ(DiscardEditsQuestion(withMacro), "Do you want to discard all data assosiated with 'mac' ?");

  // No is the default answer once more than one node or a macro would go.
  EXPECT_FALSE(ConfirmDelete(tree, {bare}).defaultNo);
  EXPECT_FALSE(ConfirmDelete(tree, {withMacro}).defaultNo) << "popup text only";
  EXPECT_TRUE(ConfirmDelete(tree, {withMacro, sep}).defaultNo) << "two nodes";
  EXPECT_TRUE(ConfirmDelete(tree, {parent}).defaultNo) << "a branch";
  EXPECT_TRUE(ConfirmDelete(tree, {parent, sep, bare}).defaultNo);
  tree.edit(bare, [](rVTNodeData& d) { d.Macro = "ls"; });
  EXPECT_TRUE(DeleteDefaultsToNo({bare, tree.top()})) << "a macro; the top node is never deleted";
  EXPECT_FALSE(DeleteDefaultsToNo({sep}));
  EXPECT_FALSE(DeleteDefaultsToNo({tree.top()}));
  tree.edit(bare, [](rVTNodeData& d) { d.Macro.clear(); });

  EXPECT_EQ(DeleteNodes(tree, {parent->child(0), tree.top(), parent, sep}), 3);
  EXPECT_EQ(Outline(tree), "bare\nmac\n");
  EXPECT_EQ(CheckInvariants(tree), "");
}

TEST(TreeOperations, MovingNextToANameTwinRenamesTheLaterOne) {
  ConnectionTree tree;
  TreeNode* a = Add(tree, tree.top(), "alpha");
  TreeNode* b = Add(tree, tree.top(), "beta");
  TreeNode* g = Add(tree, tree.top(), "gamma");
  Add(tree, b, "Server");
  TreeNode* s2 = Add(tree, g, "Server");
  MoveResult up = MoveUp(tree, b);
  EXPECT_TRUE(up.moved);
  EXPECT_FALSE(up.stillMovable);
  EXPECT_EQ(Outline(tree), "beta\n  Server\nalpha\ngamma\n  Server\n");
  MoveResult down = MoveDown(tree, a);
  EXPECT_TRUE(down.stillMovable == false && down.moved);
  EXPECT_FALSE(MoveDown(tree, a).moved);

  std::vector<TreeNode*> placed = DropNodes(tree, {s2}, b, DropMark::On, false);
  ASSERT_EQ(placed.size(), 1u);
  EXPECT_EQ(Outline(tree), "beta\n  Server\n  Copy of Server\ngamma\nalpha\n");
  placed = DropNodes(tree, {placed[0]}, b->child(0), DropMark::Above, false);
  EXPECT_EQ(Outline(tree), "beta\n  Copy of Server\n  Copy (2) of Server\ngamma\nalpha\n")
      << "Server occurs inside the earlier name";
}

TEST(TreeOperations, DropsKeepShapeAndRefuseTheTopNodesSides) {
  ConnectionTree tree;
  TreeNode* a = Add(tree, tree.top(), "a");
  TreeNode* b = Add(tree, a, "b");
  TreeNode* c = Add(tree, b, "c");
  TreeNode* s = Add(tree, tree.top(), "s");
  Add(tree, Add(tree, s, "s1"), "s2");
  TreeNode* line = Add(tree, tree.top(), "-");

  EXPECT_TRUE(DropNodes(tree, {s}, tree.top(), DropMark::Above, false).empty());
  EXPECT_TRUE(DropNodes(tree, {s}, tree.top(), DropMark::Below, true).empty());
  EXPECT_TRUE(DropNodes(tree, {a}, c, DropMark::On, false).empty()) << "into its own subtree";
  EXPECT_TRUE(DropNodes(tree, {tree.top()}, c, DropMark::On, false).empty());
  EXPECT_TRUE(DropNodes(tree, {s}, c, DropMark::Nowhere, false).empty());

  // Two levels deeper, with a descendant selected as well: it travels inside its parent.
  std::vector<TreeNode*> placed = DropNodes(tree, {s->child(0), s}, c, DropMark::On, false);
  ASSERT_EQ(placed, std::vector<TreeNode*>{s});
  EXPECT_EQ(Outline(tree), "a\n  b\n    c\n      s\n        s1\n          s2\n-\n");
  EXPECT_EQ(CheckInvariants(tree), "");

  // On a separator: directly after it. A copy keeps the original in place.
  placed = DropNodes(tree, {b}, line, DropMark::On, true);
  ASSERT_EQ(placed.size(), 1u);
  EXPECT_EQ(Outline(tree),
            "a\n  b\n    c\n      s\n        s1\n          s2\n-\nb\n  c\n    s\n      s1\n        s2\n");
  EXPECT_EQ(CheckInvariants(tree), "");
  EXPECT_TRUE(CanDropOn(a, nullptr));
  EXPECT_FALSE(CanDropOn(a, a));
  EXPECT_FALSE(CanDropOn(line, a));
  EXPECT_FALSE(CanDrag(tree.top()));
}

TEST(TreeOperations, RenamingAndConversionBetweenConnectionAndSeparator) {
  ConnectionTree tree;
  TreeNode* jump = Add(tree, tree.top(), "jump");
  TreeNode* dev = Add(tree, jump, "dev");
  Add(tree, jump, "other");
  tree.edit(jump, [](rVTNodeData& d) { d.Colors = "9:9:9"; });
  tree.edit(dev, [](rVTNodeData& d) {
    d.Macro = "m";
    d.PopupText = "p";
    d.Schedule = "=0 8 * * *";
    d.StartLogging = true;
  });

  EXPECT_EQ(PlanRename(tree.top(), "x").step, RenameStep::Refuse);
  EXPECT_EQ(PlanRename(dev, "dev").step, RenameStep::Unchanged);
  EXPECT_EQ(PlanRename(dev, " dev\t").step, RenameStep::Unchanged) << "stored trimmed: the same name";
  EXPECT_EQ(PlanRename(jump, "jump").step, RenameStep::Unchanged) << "children do not matter";
  RenamePlan p = PlanRename(dev, " \t ");
  EXPECT_EQ(p.step, RenameStep::Refuse);
  EXPECT_EQ(p.message, "Connection name cannot be empty.");
  p = PlanRename(jump, "-x");
  EXPECT_EQ(p.step, RenameStep::Refuse);
  EXPECT_EQ(p.message,
            "Connection 'jump' cannot be replaced with separator line\rbecause it has at least one child.");
  p = PlanRename(dev, "other");
  EXPECT_EQ(p.step, RenameStep::Reject);
  EXPECT_EQ(p.message, "Connection name has to be unique among its sibling connections.");
  EXPECT_EQ(PlanRename(dev, "a&b").step, RenameStep::Reject);
  p = PlanRename(dev, "--");
  EXPECT_EQ(p.step, RenameStep::AskConvert);
  EXPECT_EQ(p.message,
            "Connection 'dev' will be converted into separator line.\nAll associated data will be "
            "deleted.\n\rDo you "
            "want to continue?");

  ConvertToSeparator(tree, dev);
  EXPECT_EQ(dev->data(), (rVTNodeData{.Name = std::pmr::string(kSeparatorName),
                                      .NodeType = StoredNodeType::Separator,
                                      .Level = 2}));
  EXPECT_EQ(PlanRename(dev, std::string(kSeparatorName)).step, RenameStep::Unchanged)
      << "a separator left as it is asks nothing";

  ASSERT_EQ(PlanRename(dev, "  dev2 ").step, RenameStep::Rename);
  ApplyName(tree, dev, "  dev2 ", kDefault);
  EXPECT_EQ(dev->name(), "dev2");
  EXPECT_EQ(dev->data().Colors, "9:9:9") << "the parent's colours";
  EXPECT_TRUE(dev->data().StartLogging);

  TreeNode* line = Add(tree, tree.top(), "-");
  ApplyName(tree, line, "site", kDefault);
  EXPECT_EQ(line->data().Colors, kDefault) << "below the top node: the default colours";
  ApplyName(tree, line, "site 2", "ignored");
  EXPECT_EQ(line->data().Colors, kDefault) << "a connection renamed keeps its colours";
}

TEST(TreeOperations, NodesWithChildrenInTreeOrder) {
  ConnectionTree tree;
  TreeNode* a = Add(tree, tree.top(), "a");
  TreeNode* b = Add(tree, a, "b");
  Add(tree, b, "c");
  TreeNode* d = Add(tree, tree.top(), "d");
  Add(tree, d, "e");
  EXPECT_EQ(NodesWithChildren(tree), (std::vector<TreeNode*>{tree.top(), a, b, d}));
}

}  // namespace
}  // namespace varnok
