#include "model/tree_search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "common/stored_text.h"
#include "model/connect_lines.h"
#include "tree_helpers.h"

namespace varnok {
namespace {

// The plain definition, written without the search's shortcuts: a word
// occurs in the lower-cased text of the field, a node's name path is its
// names from below the top node joined by "/".
std::string Lower(std::string s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    // The capitals the random trees use: ASCII, Ä (C3 84), Ж (D0 96).
    if (s[i] >= 'A' && s[i] <= 'Z') {
      out += static_cast<char>(s[i] - 'A' + 'a');
    } else if (s.compare(i, 2, "Ä") == 0) {
      out += "ä", ++i;
    } else if (s.compare(i, 2, "Ж") == 0) {
      out += "ж", ++i;
    } else {
      out += s[i];
    }
  }
  return out;
}

std::string NamePath(const TreeNode* n) {
  std::string path;
  for (; n->parent(); n = n->parent()) path = std::string(n->name()) + (path.empty() ? "" : "/" + path);
  return path;
}

bool PlainMatch(const FindQuery& q, const TreeNode* n) {
  if (!n->parent() || n->isSeparator()) return false;
  for (const FindTerm& t : q.terms) {
    std::string text;
    if (t.field == FindField::Path) text = NamePath(n);
    if (t.field == FindField::Macro) text = DecodeText(n->data().Macro);
    if (t.field == FindField::Popup) text = DecodeText(n->data().PopupText);
    if (t.field == FindField::Host || t.field == FindField::User) {
      std::string hosts, users;
      ReadConnectTargets(DecodeText(n->data().Macro), hosts, users);
      text = t.field == FindField::Host ? hosts : users;
    }
    if ((Lower(text).find(t.text) != std::string::npos) == t.exclude) return false;
  }
  return true;
}

// Shown: every match and every ancestor of one, the top node always.
std::vector<const TreeNode*> PlainShown(const ConnectionTree& tree, const FindQuery& q, int* matches) {
  std::vector<const TreeNode*> shown;
  *matches = 0;
  for (const TreeNode* n = tree.top(); n; n = ConnectionTree::next(n)) {
    bool show = n == tree.top();
    for (const TreeNode* m = n; m && !show; m = ConnectionTree::next(m)) {
      if (m != n && !n->isAncestorOf(m)) break;
      show = PlainMatch(q, m);
    }
    if (PlainMatch(q, n)) ++*matches;
    if (show) shown.push_back(n);
  }
  return shown;
}

const char* const kPieces[] = {"lab",   "Lab", "RTR", "rtr", "/",  "-", "a", "b",  " ",
                               "Ärger", "ärg", "Жук", "\"",  "\\", "%", "+", "x1", "core"};

std::string RandomText(std::mt19937& rng, int pieces) {
  std::string s;
  for (int i = 0; i < pieces; ++i) s += kPieces[rng() % std::size(kPieces)];
  return s;
}

void RandomTree(ConnectionTree& tree, std::mt19937& rng, int count) {
  std::vector<TreeNode*> nodes{tree.top()};
  for (int i = 0; i < count; ++i) {
    TreeNode* parent = nodes[rng() % nodes.size()];
    if (parent->isSeparator()) parent = tree.top();
    rVTNodeData d;
    d.Name = rng() % 12 == 0 ? std::string(kSeparatorName) : RandomText(rng, 1 + static_cast<int>(rng() % 3));
    if (!d.Name.starts_with("-")) {
      const std::string host = RandomText(rng, 1 + static_cast<int>(rng() % 2));
      const std::string macro = rng() % 2 ? "connect '" + host + ":23 /nossh'\r\nwait 'ogin:'\r\nsendln '" +
                                                RandomText(rng, 1) + "'\r\n"
                                          : "sendln 'ssh " + RandomText(rng, 1) + "@" + host + "'";
      d.Macro = EncodeText(macro);
      d.PopupText = EncodeText(RandomText(rng, static_cast<int>(rng() % 3)));
    }
    nodes.push_back(tree.insert(parent, parent->childCount(), ConnectionTree::newNode(std::move(d))));
  }
}

std::string RandomQuery(std::mt19937& rng) {
  static const char* const fields[] = {"", "", "", "host:", "user:", "macro:", "popup:"};
  std::string q;
  const int words = 1 + static_cast<int>(rng() % 3);
  for (int i = 0; i < words; ++i) {
    if (rng() % 4 == 0) q += "-";
    q += fields[rng() % std::size(fields)];
    std::string word = RandomText(rng, 1);
    if (word == "\"" || word == " " || word == "-" || word == "\\") word = "a";
    if (rng() % 3 == 0) word = "\"" + word + " " + RandomText(rng, 1) + "\"";
    q += word + " ";
  }
  return q;
}

TEST(TreeSearch, AgreesWithThePlainDefinitionOnRandomTrees) {
  std::mt19937 rng(26);
  for (int round = 0; round < 40; ++round) {
    ConnectionTree tree;
    RandomTree(tree, rng, 60);
    for (int k = 0; k < 25; ++k) {
      const std::string text = RandomQuery(rng);
      const FindQuery q = ParseFindQuery(text);
      int matches = 0;
      const std::vector<const TreeNode*> expected = PlainShown(tree, q, &matches);
      // Small slices must give what one long run gives.
      TreeSearch search(tree, q);
      const int budget = 1 + static_cast<int>(rng() % 7);
      while (!search.step(budget)) {
      }
      const FindResult& r = search.result();
      ASSERT_EQ(r.shown, expected) << "query: " << text << "\n" << test::Outline(tree);
      ASSERT_EQ(r.matchCount, matches) << text;
      for (int e = 0; e < r.size(); ++e) {
        ASSERT_EQ(r.matched[static_cast<std::size_t>(e)] != 0,
                  PlainMatch(q, r.shown[static_cast<std::size_t>(e)]));
        ASSERT_EQ(r.entryOf(r.shown[static_cast<std::size_t>(e)]), e);
      }
    }
  }
}

TEST(TreeSearch, ShownBranchesAreLaidOutForAView) {
  ConnectionTree tree;
  TreeNode* site = test::Add(tree, tree.top(), "Site A");
  TreeNode* lab = test::Add(tree, site, "Lab");
  test::Add(tree, lab, "rtr1");
  TreeNode* sw = test::Add(tree, lab, "sw1");
  test::Add(tree, lab, "RTR2");
  test::Add(tree, site, "Office rtr");
  TreeNode* other = test::Add(tree, tree.top(), "Other");
  const FindResult r = SearchTree(tree, ParseFindQuery("rtr"));
  // Site A, Lab, rtr1, RTR2, Office rtr below the top node.
  ASSERT_EQ(r.size(), 6);
  EXPECT_EQ(r.matchCount, 3);
  EXPECT_EQ(r.childCount(0), 1);
  const int siteEntry = r.child(0, 0);
  EXPECT_EQ(r.shown[static_cast<std::size_t>(siteEntry)], site);
  ASSERT_EQ(r.childCount(siteEntry), 2);
  const int labEntry = r.child(siteEntry, 0);
  ASSERT_EQ(r.childCount(labEntry), 2);
  EXPECT_EQ(r.shown[static_cast<std::size_t>(r.child(labEntry, 1))]->name(), "RTR2");
  EXPECT_EQ(r.row[static_cast<std::size_t>(r.child(labEntry, 1))], 1);
  EXPECT_EQ(r.entryOf(sw), -1);
  EXPECT_EQ(r.entryOf(other), -1);
  // An exclusion drops a whole branch; nothing found leaves the top node alone.
  EXPECT_EQ(SearchTree(tree, ParseFindQuery("rtr -lab")).matchCount, 1);
  const FindResult none = SearchTree(tree, ParseFindQuery("nowhere"));
  EXPECT_EQ(none.size(), 1);
  EXPECT_EQ(none.childCount(0), 0);
}

TEST(TreeSearch, DeepChainsAndEmptyTrees) {
  ConnectionTree empty;
  EXPECT_EQ(SearchTree(empty, ParseFindQuery("x")).size(), 1);
  ConnectionTree chain;
  test::AppendChain(chain, 100000);
  const FindResult r = SearchTree(chain, ParseFindQuery("n99999/"));
  EXPECT_EQ(r.matchCount, 1);  // only n100000 has "n99999/" in its path
  EXPECT_EQ(r.size(), 100001);
  EXPECT_EQ(r.row.back(), 0);
}

TEST(TreeSearch, RangesForHighlighting) {
  const FindQuery q = ParseFindQuery("lab -rtr host:lab \"b r\" ab");
  EXPECT_EQ(MatchRanges(q, FindField::Path, "LAB rtr LaB"), (std::vector<TextRange>{{0, 5}, {8, 3}}));
  EXPECT_EQ(MatchRanges(q, FindField::Host, "xlab"), (std::vector<TextRange>{{1, 3}}));
  EXPECT_TRUE(MatchRanges(q, FindField::Macro, "lab").empty());
}

}  // namespace
}  // namespace varnok
