#pragma once
// Naming nodes before they arrive. A paste or an import prepares its nodes
// in a tree of their own, away from the document's tree (on a worker thread),
// and names them there exactly as NameArrivals would name them in place. Of
// the document's tree only the names the arrivals will join are needed, and
// those are copied first, on the tree's own thread.
//
//   ChildNames siblings = CopyChildNames(parent);        // the tree's thread
//   ConnectionTree scratch; ... the arrivals as children of scratch.top()
//   NameArrivalsAgainst(scratch, siblings, keepGoing);   // any thread
//   tree.insertRange(parent, row, scratch.takeRange(...));
//   ConnectionTree::markChildNamesResolved(parent);
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "model/connection_tree.h"

namespace varnok {

// The names of one node's children, in order, owning their bytes.
struct ChildNames {
  std::string joined;             // the names one after another
  std::vector<std::size_t> ends;  // where each name ends in `joined`
  bool lineFeeds = false;         // some name holds a line feed
  // The list needs no naming pass of its own (ResolveSiblingNames would
  // leave it as it is): fewer than two children, or resolved and unchanged
  // since.
  bool settled = false;

  std::size_t count() const { return ends.size(); }
  std::string_view name(std::size_t i) const {
    const std::size_t begin = i == 0 ? 0 : ends[i - 1];
    return std::string_view(joined).substr(begin, ends[i] - begin);
  }
};

ChildNames CopyChildNames(const TreeNode* parent);

// Asked now and then with the part of the work done (0 to 1); false stops it.
using KeepGoing = std::function<bool(double partDone)>;

// Names the children of `scratch`'s top node (the arrivals, in their order)
// as NameArrivals names nodes arriving below a parent whose other children
// are `siblings`, then resolves every list below them as ResolveSiblingNames
// does. Returns the number of names changed; when `keepGoing` said stop, the
// naming is unfinished and the arrivals are to be thrown away.
int NameArrivalsAgainst(ConnectionTree& scratch, const ChildNames& siblings, const KeepGoing& keepGoing = {});

}  // namespace varnok
