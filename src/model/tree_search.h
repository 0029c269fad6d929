#pragma once
// The find filter over a whole connection tree: the connections that match a
// query (model/find_query.h), in tree order, with the ancestors needed to
// show them in their branch. The top node and separator lines never match.
//
// A search walks the tree in slices (step), so that a program can keep
// answering between them and drop a search that a newer query replaced. The
// tree's structure must not change while a search is unfinished; records may.
// It reads the tree through a FindIndex, which a program keeps from one
// query to the next while the tree's structure and names stay.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "model/connection_tree.h"
#include "model/find_index.h"
#include "model/find_query.h"
#include "model/find_text.h"

namespace varnok {

// The shown part of the tree. Entry 0 is the top node; every other entry's
// parent is an earlier entry.
struct FindResult {
  std::vector<const TreeNode*> shown;  // tree order
  std::vector<std::int32_t> parent;    // entry of the parent; -1 for the top node
  std::vector<std::uint8_t> matched;   // 1: a match; 0: shown for its matches below
  int matchCount = 0;
  // Filled when the search finishes: the shown children of entry e are
  // children[childStart[e] .. childStart[e + 1]), in tree order; row[e] is
  // e's place among its parent's shown children.
  std::vector<std::int32_t> childStart;
  std::vector<std::int32_t> children;
  std::vector<std::int32_t> row;

  int size() const { return static_cast<int>(shown.size()); }
  int childCount(int entry) const { return childStart[entry + 1] - childStart[entry]; }
  int child(int entry, int r) const { return children[childStart[entry] + r]; }
  // The entry of `node`, or -1 when it is not shown. O(log n * depth).
  int entryOf(const TreeNode* node) const;
  std::size_t bytes() const;  // memory held, for measurements
};

class TreeSearch {
 public:
  TreeSearch(std::shared_ptr<const FindIndex> index, FindQuery query);
  // With an index of its own.
  TreeSearch(const ConnectionTree& tree, FindQuery query);

  // Looks at up to `budget` more nodes; true once the whole tree is done.
  bool step(int budget);
  bool finished() const { return done_; }
  const FindQuery& query() const { return query_; }
  const std::shared_ptr<const FindIndex>& index() const { return index_; }
  const FindResult& result() const { return result_; }
  FindResult takeResult() { return std::move(result_); }

 private:
  // One per open ancestor of the node visited, by depth (the top node first).
  struct Frame {
    std::uint32_t pathLength;  // of path_ up to and including this node's name
    std::uint32_t found;       // the path words found in path_ up to here
    std::int32_t shownEntry;   // in result_, or -1 while not shown
    std::uint32_t indexEntry;
  };
  void visit(std::size_t entry);
  bool fieldsMatch(const TreeNode* node);
  // Adds a match after its ancestors not shown yet; its entry.
  std::int32_t show(std::size_t entry);
  void finish();

  std::shared_ptr<const FindIndex> index_;
  FindQuery query_;
  std::uint32_t pathWords_ = 0;     // bits of the path words that must occur
  std::uint32_t pathExcludes_ = 0;  // bits of the path words that must not
  bool usesFields_ = false;
  bool usesTargets_ = false;
  bool done_ = false;
  std::size_t next_ = 1;  // the next index entry to visit
  std::vector<Frame> frames_;
  std::string path_;  // folded names from below the top node, joined by "/"
  FindResult result_;
  // Per node, reused: the decoded macro and popup, folded; hosts and users.
  std::string macro_, popup_, hosts_, users_, scratch_;
};

// Runs a whole search at once.
FindResult SearchTree(const ConnectionTree& tree, const FindQuery& query);

// Where the query's words (not excluded) occur in `text`: the name path
// words in a node's own name (FindField::Path), or one field's words in that
// field's text. Byte ranges of `text`, merged.
std::vector<TextRange> MatchRanges(const FindQuery& query, FindField field, std::string_view text);

}  // namespace varnok
