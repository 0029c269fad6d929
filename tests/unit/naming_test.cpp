#include "model/naming.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

#include "model/name_substrings.h"
#include "model/substring_index.h"
#include "tree_helpers.h"

namespace varnok {
namespace {

using test::Add;

// Plain definitions, written as literally as possible, to compare with.
namespace reference {

std::string NewConnectionName(const ConnectionTree& tree) {
  std::string all;
  for (const TreeNode* n = tree.top(); n; n = ConnectionTree::next(n)) all += n->name();
  for (int k = 1;; ++k) {
    std::string candidate = "Unnamed connection #" + std::to_string(k);
    if (all.find(candidate) == std::string::npos) return candidate;
  }
}

std::string CopyName(const TreeNode* node, bool includeFollowing) {
  const std::string name(node->name());
  if (!name.empty() && name[0] == '-') return name;
  std::string list;
  if (includeFollowing)
    for (const TreeNode* s = node->nextSibling(); s; s = s->nextSibling()) (list += "\n") += s->name();
  for (const TreeNode* s = node->previousSibling(); s; s = s->previousSibling()) (list += "\n") += s->name();
  if (list.empty()) return name;
  std::string candidate = name;
  for (int n = 1; list.find(candidate) != std::string::npos; ++n)
    candidate = n == 1 ? "Copy of " + name : "Copy (" + std::to_string(n) + ") of " + name;
  return candidate;
}

// With every node's children visited, the first child's included.
int ResolveSiblingNames(TreeNode* parent, std::vector<std::pair<TreeNode*, std::string>>& renames,
                        std::map<TreeNode*, std::string>& names) {
  int count = 0;
  auto nameOf = [&](const TreeNode* n) {
    return names.count(const_cast<TreeNode*>(n)) ? names[const_cast<TreeNode*>(n)] : std::string(n->name());
  };
  if (parent->childCount() >= 1) count += ResolveSiblingNames(parent->child(0), renames, names);
  if (parent->childCount() < 2) return count;
  for (int r = 1; r < parent->childCount(); ++r) {
    TreeNode* child = parent->child(r);
    std::string name = nameOf(child);
    std::string fresh = name;
    if (name.empty() || name[0] != '-') {
      std::string list;
      for (int p = r - 1; p >= 0; --p) list += "\n" + nameOf(parent->child(p));
      for (int n = 1; list.find(fresh) != std::string::npos; ++n)
        fresh = n == 1 ? "Copy of " + name : "Copy (" + std::to_string(n) + ") of " + name;
    }
    if (fresh != name) {
      names[child] = fresh;
      renames.emplace_back(child, fresh);
      ++count;
    }
    count += ResolveSiblingNames(child, renames, names);
  }
  return count;
}

}  // namespace reference

// Names drawn from a small alphabet of pieces so that substrings collide often.
std::string RandomName(std::mt19937& rng) {
  static const char* pieces[] = {"Server",
                                 "Copy of ",
                                 "Copy (2) of ",
                                 "Copy (",
                                 ") of ",
                                 "Router",
                                 " A",
                                 "1",
                                 "2",
                                 "Unnamed connection #",
                                 "0",
                                 "-",
                                 "\n",
                                 "3)",
                                 "",
                                 "Copy (1",
                                 "S"};
  std::string s;
  int n = 1 + static_cast<int>(rng() % 4);
  for (int i = 0; i < n; ++i) s += pieces[rng() % std::size(pieces)];
  return s;
}

void RandomTree(ConnectionTree& tree, std::mt19937& rng, int nodes) {
  std::vector<TreeNode*> all{tree.top()};
  for (int i = 0; i < nodes; ++i) all.push_back(Add(tree, all[rng() % all.size()], RandomName(rng)));
}

TEST(SubstringIndex, AgreesWithPlainSearch) {
  std::mt19937 rng(5);
  for (int round = 0; round < 200; ++round) {
    SubstringIndex index;
    std::string text;
    for (int i = 0; i < 30; ++i) {
      std::string piece(rng() % 5, 'a');
      for (char& c : piece) c = static_cast<char>('a' + rng() % 3);
      index.append(piece);
      text += piece;
      std::string pattern(rng() % 6, 'a');
      for (char& c : pattern) c = static_cast<char>('a' + rng() % 3);
      ASSERT_EQ(index.contains(pattern), text.find(pattern) != std::string::npos) << text << " / " << pattern;
      std::string reversed(pattern.rbegin(), pattern.rend());
      ASSERT_EQ(index.containsReversed(reversed), index.contains(pattern));
    }
  }
}

// Runs of sorted suffixes are merged as names come: after every name, every
// text must be found exactly when it lies inside one name, also texts longer
// than a name and texts that only a seam between two names would give. Names
// and texts of 8 bytes and more go through the exact and the gram filter
// first; pieces cut from the names are there, made-up texts mostly not.
TEST(NameSubstrings, AgreesWithPlainSearchInEachName) {
  std::mt19937 rng(9);
  auto letters = [&](std::size_t length) {
    std::string text(length, 'a');
    for (char& c : text) c = static_cast<char>(rng() % 4 == 0 ? '\xe9' : 'a' + rng() % 3);
    return text;
  };
  for (int round = 0; round < 20; ++round) {
    const std::size_t longest = round < 10 ? 7 : 24;
    NameSubstrings index;
    std::vector<std::string> names;
    for (int i = 0; i < 400; ++i) {
      std::string name = letters(rng() % longest);
      index.add(name);
      names.push_back(name);
      for (int q = 0; q < 5; ++q) {
        std::string text = letters(rng() % (longest + 2));
        const std::string& some = names[rng() % names.size()];
        if (q >= 3 && !some.empty()) {  // a piece of a name, or of two joined
          const std::size_t from = rng() % some.size();
          text = some.substr(from, rng() % (some.size() - from + 1)) + (q == 4 ? names.back() : "");
        }
        bool inside = false;
        for (const std::string& n : names) inside = inside || n.find(text) != std::string::npos;
        ASSERT_EQ(index.contains(text), inside) << "round " << round << " name " << i << ": " << text;
      }
    }
  }
}

TEST(Naming, NewConnectionNameCountsSubstrings) {
  ConnectionTree tree;
  Add(tree, tree.top(), "Unnamed connection #1");
  Add(tree, tree.top(), "Unnamed connection #12");
  EXPECT_EQ(NewConnectionName(tree), "Unnamed connection #2");
  // Names are joined without a separator: the #2 is made up of two names.
  Add(tree, Add(tree, tree.top(), "xUnnamed connection"), " #2");
  EXPECT_EQ(NewConnectionName(tree), "Unnamed connection #3");
}

TEST(Naming, CopyNameCountsSubstringsAndSkipsSeparators) {
  ConnectionTree tree;
  TreeNode* router = Add(tree, tree.top(), "Router");
  Add(tree, tree.top(), "Router A");
  EXPECT_EQ(CopyName(router, false), "Router");
  EXPECT_EQ(CopyName(router, true), "Copy of Router");
  TreeNode* sep = Add(tree, tree.top(), "-x");
  Add(tree, tree.top(), "-x");
  EXPECT_EQ(CopyName(sep, true), "-x");
  TreeNode* only = Add(tree, router, "Server");
  EXPECT_EQ(CopyName(only, true), "Server");
}

TEST(Naming, ResolveGivesLaterSiblingsCopyNames) {
  ConnectionTree tree;
  for (int i = 0; i < 4; ++i) Add(tree, tree.top(), "Server");
  TreeNode* first = tree.top()->child(0);
  Add(tree, first, "a");
  Add(tree, first, "a");  // below the first child: visited too
  EXPECT_EQ(ResolveSiblingNames(tree, tree.top()), 4);
  EXPECT_EQ(test::Outline(tree),
            "Server\n  a\n  Copy of a\nCopy of Server\nCopy (2) of Server\nCopy (3) of Server\n");
}

TEST(Naming, VeryLongNamesAreSearchedLikeShortOnes) {
  // Names beyond the index's length are searched directly; the rule is the same.
  ConnectionTree tree;
  const std::string huge = std::string(100000, 'x') + "Router" + std::string(100000, 'y');
  Add(tree, tree.top(), huge);
  Add(tree, tree.top(), "Router");
  Add(tree, tree.top(), huge);
  Add(tree, tree.top(), "Copy of Router");
  for (TreeNode* n = ConnectionTree::next(tree.top()); n; n = n->nextSibling()) {
    ASSERT_EQ(CopyName(n, true), reference::CopyName(n, true));
    ASSERT_EQ(CopyName(n, false), reference::CopyName(n, false));
  }
  EXPECT_EQ(ResolveSiblingNames(tree, tree.top()), 3);
  EXPECT_EQ(tree.top()->child(1)->name(), "Copy of Router");
  EXPECT_EQ(std::string(tree.top()->child(2)->name()), "Copy of " + huge);
  EXPECT_EQ(tree.top()->child(3)->name(), "Copy of Copy of Router");
}

TEST(Naming, CheckConnectionNameRefusesAmpersandAndSiblingDuplicates) {
  ConnectionTree tree;
  TreeNode* a = Add(tree, tree.top(), "a");
  Add(tree, tree.top(), "b");
  Add(tree, a, "c");
  EXPECT_EQ(CheckConnectionName("x&y", a).message, "Connection name cannot contain '&' character.");
  EXPECT_EQ(CheckConnectionName("b", a).message,
            "Connection name has to be unique among its sibling connections.");
  EXPECT_TRUE(CheckConnectionName("c", a).ok) << "only siblings count";
  EXPECT_TRUE(CheckConnectionName("a", a).ok) << "the node itself does not count";
  EXPECT_TRUE(CheckConnectionName("B", a).ok) << "case-sensitive";
  EXPECT_FALSE(CheckConnectionName(" b", a).ok) << "compared as stored, trimmed";
  EXPECT_FALSE(CheckConnectionName("b\t ", a).ok);
  EXPECT_TRUE(CheckConnectionName(" a ", a).ok);
}

// Arrivals take the new names wherever they stand; the nodes that were there
// keep theirs, now and in later passes over the list.
TEST(Naming, ArrivalsYieldToTheNodesThatWereThere) {
  ConnectionTree tree;
  TreeNode* router = Add(tree, tree.top(), "router");
  Add(tree, tree.top(), "Serv");
  Add(tree, tree.top(), "Copy of x");
  ResolveSiblingNames(tree, tree.top());
  // Pasted as the first children: two namesakes of router, one whose name
  // contains "Serv", one that clashes with nothing, and one whose own
  // subtree holds twins.
  std::vector<TreeNode*> arrived;
  for (const char* name : {"router", "Server", "router", "x"})
    arrived.push_back(tree.insert(tree.top(), static_cast<int>(arrived.size()),
                                  ConnectionTree::newNode(rVTNodeData{.Name = name})));
  Add(tree, arrived[1], "port");
  Add(tree, arrived[1], "port");
  EXPECT_EQ(NameArrivals(tree, arrived), 4);
  EXPECT_EQ(test::Outline(tree),
            "Copy of router\nServer\n  port\n  Copy of port\nCopy (2) of router\nCopy (2) of x\n"
            "router\nServ\nCopy of x\n");
  // A later move in the list checks the moved node, not the old ones against
  // the arrivals ("router" lies inside "Copy of router" before it).
  EXPECT_EQ(ResolveSiblingNames(tree, tree.top()), 0);
  tree.move(router, tree.top(), 0);
  EXPECT_EQ(ResolveSiblingNames(tree, tree.top()), 0);
  EXPECT_EQ(router->name(), "router");
  // Separators keep their name.
  TreeNode* line = tree.insert(tree.top(), 0, ConnectionTree::newNode(rVTNodeData{.Name = "-"}));
  TreeNode* line2 = tree.insert(tree.top(), 1, ConnectionTree::newNode(rVTNodeData{.Name = "-"}));
  EXPECT_EQ(NameArrivals(tree, {line, line2}), 0);
}

TEST(Naming, AgreesWithThePlainDefinitionsOnRandomTrees) {
  std::mt19937 rng(20261207);
  for (int round = 0; round < 3000; ++round) {
    ConnectionTree tree;
    RandomTree(tree, rng, 1 + static_cast<int>(rng() % 25));
    const std::string newName = reference::NewConnectionName(tree);
    ASSERT_EQ(NewConnectionName(tree), newName) << "round " << round;
    // Read in pieces small enough that occurrences and their digits cross the seams.
    ASSERT_EQ(NewConnectionName(tree, 1 + rng() % 40), newName) << "round " << round;
    for (TreeNode* n = ConnectionTree::next(tree.top()); n; n = ConnectionTree::next(n)) {
      ASSERT_EQ(CopyName(n, true), reference::CopyName(n, true)) << "round " << round;
      ASSERT_EQ(CopyName(n, false), reference::CopyName(n, false)) << "round " << round;
    }
    TreeNode* parent = tree.nodeAt(static_cast<int>(rng() % tree.count()));
    std::vector<std::pair<TreeNode*, std::string>> renames;
    std::map<TreeNode*, std::string> names;
    int expected = reference::ResolveSiblingNames(parent, renames, names);
    ASSERT_EQ(ResolveSiblingNames(tree, parent), expected) << "round " << round;
    for (auto& [node, name] : names) ASSERT_EQ(std::string(node->name()), name);
  }
}

// Short lists are searched as text, long ones through the index: a list that
// grows from one into the other must give the same names all the way.
TEST(Naming, LongSiblingListsAgreeWithThePlainDefinition) {
  std::mt19937 rng(11);
  for (int round = 0; round < 6; ++round) {
    ConnectionTree tree;
    for (int i = 0; i < 600; ++i) {
      std::string name = RandomName(rng) + RandomName(rng);
      // Lists without line feeds are indexed differently: every other round.
      if (round % 2 == 1) std::erase(name, '\n');
      Add(tree, tree.top(), name);
    }
    std::vector<std::pair<TreeNode*, std::string>> renames;
    std::map<TreeNode*, std::string> names;
    const int expected = reference::ResolveSiblingNames(tree.top(), renames, names);
    ASSERT_GT(expected, 0);
    ASSERT_EQ(ResolveSiblingNames(tree, tree.top()), expected) << "round " << round;
    for (auto& [node, name] : names) ASSERT_EQ(std::string(node->name()), name) << "round " << round;
  }
}

// Resolving remembers which sibling lists are unique; every kind of change
// must make a list be looked at again, or a later resolve misses a clash.
TEST(Naming, ResolveAfterChangesAgreesWithThePlainDefinition) {
  std::mt19937 rng(8);
  for (int round = 0; round < 1500; ++round) {
    ConnectionTree tree;
    RandomTree(tree, rng, 2 + static_cast<int>(rng() % 20));
    ResolveSiblingNames(tree, tree.top());
    for (int change = 0; change < 4; ++change) {
      TreeNode* n = tree.nodeAt(1 + static_cast<int>(rng() % (tree.count() - 1)));
      TreeNode* other = tree.nodeAt(static_cast<int>(rng() % tree.count()));
      switch (rng() % 5) {
        case 0:
          tree.setName(n, RandomName(rng));
          break;
        case 1:
          tree.edit(n, [&](rVTNodeData& d) { d.Name = RandomName(rng); });
          break;
        case 2: {
          rVTNodeData d = n->data();
          d.Name = n->parent()->child(0)->name();
          tree.setData(n, d);
          break;
        }
        case 3:
          tree.move(n, other, static_cast<int>(rng() % (other->childCount() + 1)));
          break;
        case 4:
          Add(tree, other, other->childCount() ? std::string(other->child(0)->name()) : RandomName(rng));
          break;
      }
    }
    tree.insert(tree.top(), 0, ConnectionTree::clone(tree.top()->child(0)));
    std::vector<std::pair<TreeNode*, std::string>> renames;
    std::map<TreeNode*, std::string> names;
    const int expected = reference::ResolveSiblingNames(tree.top(), renames, names);
    ASSERT_EQ(ResolveSiblingNames(tree, tree.top()), expected) << "round " << round;
    for (auto& [node, name] : names) ASSERT_EQ(std::string(node->name()), name);
  }
}

TEST(Naming, ManyUnnamedConnectionsAndCopies) {
  ConnectionTree tree;
  for (int i = 1; i <= 120; ++i)
    if (i != 57) Add(tree, tree.top(), "Unnamed connection #" + std::to_string(i));
  EXPECT_EQ(NewConnectionName(tree), "Unnamed connection #57");
  ConnectionTree copies;
  for (int i = 0; i < 300; ++i) Add(copies, copies.top(), "Server");
  EXPECT_EQ(ResolveSiblingNames(copies, copies.top()), 299);
  EXPECT_EQ(copies.top()->child(299)->name(), "Copy (299) of Server");
  EXPECT_EQ(CopyName(copies.top()->child(0), true), "Copy (300) of Server");
}

}  // namespace
}  // namespace varnok
