#include "model/arrival_names.h"

#include "model/naming.h"
#include "model/sibling_names.h"

namespace varnok {
namespace {

// How many arrivals are named between two questions whether to go on.
constexpr int kBetweenQuestions = 4096;

}  // namespace

ChildNames CopyChildNames(const TreeNode* parent) {
  ChildNames names;
  names.ends.reserve(static_cast<std::size_t>(parent->childCount()));
  for (int r = 0; r < parent->childCount(); ++r) {
    const std::string_view name = parent->child(r)->name();
    names.joined += name;
    names.ends.push_back(names.joined.size());
    names.lineFeeds = names.lineFeeds || name.find('\n') != std::string_view::npos;
  }
  names.settled = parent->childCount() < 2 || (parent->childNamesResolved() && !parent->hasChangedChildren());
  return names;
}

namespace {

// Names the arrivals against the siblings and each other. Its index goes
// with the call, before the lists below the arrivals are resolved.
int NameTopList(ConnectionTree& scratch, const ChildNames& siblings,
                const std::function<bool(int row)>& goOn) {
  TreeNode* top = scratch.top();
  const int arrivals = top->childCount();
  bool lineFeeds = siblings.lineFeeds;
  for (int r = 0; r < arrivals && !lineFeeds; ++r)
    lineFeeds = top->child(r)->name().find('\n') != std::string::npos;
  // A long list is searched through its index only for many arrivals.
  constexpr int kFewArrivals = 32;
  SiblingNamer names(lineFeeds, arrivals > kFewArrivals);
  for (std::size_t i = 0; i < siblings.count(); ++i) names.add(siblings.name(i));
  int changed = 0;
  for (int r = 0; r < arrivals; ++r) {
    if (!goOn(r)) return changed;
    if (TakeFreeName(scratch, names, top->child(r))) ++changed;
  }
  return changed;
}

}  // namespace

int NameArrivalsAgainst(ConnectionTree& scratch, const ChildNames& siblings, const KeepGoing& keepGoing) {
  TreeNode* top = scratch.top();
  const int arrivals = top->childCount();
  // Naming the list costs about as much as resolving what lies below it.
  auto goOn = [&](int row, double half) {
    return row % kBetweenQuestions != 0 || !keepGoing ||
           keepGoing(half + 0.5 * static_cast<double>(row) / static_cast<double>(arrivals));
  };
  int changed = NameTopList(scratch, siblings, [&](int row) { return goOn(row, 0.0); });
  ConnectionTree::markChildNamesResolved(top);
  for (int r = 0; r < arrivals; ++r) {
    if (!goOn(r, 0.5)) return changed;
    changed += ResolveSiblingNames(scratch, top->child(r));
  }
  return changed;
}

}  // namespace varnok
