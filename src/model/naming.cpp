#include "model/naming.h"

#include <algorithm>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "common/trim_text.h"
#include "model/sibling_names.h"

namespace varnok {
namespace {

constexpr std::string_view kUnnamed = "Unnamed connection #";

bool ChildNamesHoldLineFeeds(const TreeNode* parent) {
  for (int r = 0; r < parent->childCount(); ++r)
    if (parent->child(r)->name().find('\n') != std::string::npos) return true;
  return false;
}

int ResolveChildren(ConnectionTree& tree, TreeNode* parent) {
  SiblingNamer names(ChildNamesHoldLineFeeds(parent));
  names.add(parent->child(0)->name());
  int changed = 0;
  for (int r = 1; r < parent->childCount(); ++r)
    if (TakeFreeName(tree, names, parent->child(r))) ++changed;
  return changed;
}

}  // namespace

namespace {

constexpr std::size_t kDigitsRead = 12;

// The numbers k for which "#k" is taken: every leading part of the digits
// after an occurrence of the prefix.
class TakenNumbers {
 public:
  // Reads the occurrences of the prefix in `text` that start before `limit`.
  void scan(std::string_view text, std::size_t limit) {
    for (std::size_t at = text.find(kUnnamed); at < limit; at = text.find(kUnnamed, at + 1)) {
      std::int64_t value = 0;
      const std::size_t digits = at + kUnnamed.size();
      for (std::size_t i = digits; i < text.size() && i < digits + kDigitsRead; ++i) {
        const char c = text[i];
        if (c < '0' || c > '9' || (value == 0 && c == '0')) break;
        value = value * 10 + (c - '0');
        taken_.push_back(value);
      }
    }
  }

  std::size_t smallestFree() const {
    std::vector<bool> used(taken_.size() + 2, false);
    for (std::int64_t v : taken_)
      if (v < static_cast<std::int64_t>(used.size())) used[static_cast<std::size_t>(v)] = true;
    std::size_t k = 1;
    while (used[k]) ++k;
    return k;
  }

 private:
  std::vector<std::int64_t> taken_;
};

}  // namespace

std::string NewConnectionName(const ConnectionTree& tree, std::size_t piece) {
  // The names joined in tree order, looked at a piece at a time through one
  // small buffer that stays in the cache. A piece keeps the end of the one
  // before, enough for an occurrence and its digits across the seam.
  constexpr std::size_t kSeam = kUnnamed.size() + kDigitsRead;
  piece = std::max<std::size_t>(piece, 1);
  TakenNumbers taken;
  std::string window;
  window.reserve(piece + kSeam + 64);
  ConnectionTree::forEachPreOrder(tree.top(), [&](const TreeNode* n) {
    window += n->name();
    if (window.size() < piece + kSeam) return;
    // Occurrences from `done` on may still lack digits that come next.
    const std::size_t done = window.size() - kSeam + 1;
    taken.scan(window, done);
    window.erase(0, done);
  });
  taken.scan(window, window.size());
  return std::string(kUnnamed) + std::to_string(taken.smallestFree());
}

std::string CopyName(const TreeNode* node, bool includeFollowing) {
  const std::string name(node->name());
  if (IsSeparatorName(name)) return name;
  const TreeNode* parent = node->parent();
  if (!parent) return name;
  // The list in order: following siblings nearest first (when asked), then
  // preceding ones nearest first. The index holds it reversed, so it is fed
  // from the end of the list.
  const int row = node->row();
  if (row == 0 && (!includeFollowing || row + 1 >= parent->childCount())) return name;
  // One name against one list: a plain search of the list text beats
  // building an index of it.
  std::string list;
  if (includeFollowing)
    for (int r = row + 1; r < parent->childCount(); ++r) (list += '\n') += parent->child(r)->name();
  for (int r = row - 1; r >= 0; --r) (list += '\n') += parent->child(r)->name();
  auto taken = [&list](const std::string& candidate) { return list.find(candidate) != std::string::npos; };
  if (!taken(name)) return name;
  std::string candidate = "Copy of " + name;
  for (std::int64_t n = 2; taken(candidate); ++n) candidate = "Copy (" + std::to_string(n) + ") of " + name;
  return candidate;
}

namespace {

// The first of name, "Copy of " + name, "Copy (n) of " + name that is not a
// substring of `names` (names joined by line feeds).
std::string FirstFreeIn(const std::string& names, std::string_view name) {
  auto taken = [&names](std::string_view candidate) { return names.find(candidate) != std::string::npos; };
  if (!taken(name)) return std::string(name);
  std::string candidate = "Copy of " + std::string(name);
  for (std::int64_t n = 2; taken(candidate); ++n)
    candidate = "Copy (" + std::to_string(n) + ") of " + std::string(name);
  return candidate;
}

// A list resolved before in which only a few children changed. Without line
// feeds in the names, a name is taken exactly when it lies inside one earlier
// name, so an unchanged child can only clash with the changed or renamed
// names before it; a changed child is checked against all of them.
constexpr std::size_t kFewChanged = 32;

enum class Pass {
  Done,
  NotSuited,  // nothing renamed; the full pass takes the list
  Abandoned,  // renames cascaded; the full pass finishes the list (the
              // renames made so far are the ones it makes too)
};

Pass ResolveFewChanged(ConnectionTree& tree, TreeNode* parent, int& changed) {
  std::size_t changedChildren = 0;
  for (int r = 0; r < parent->childCount(); ++r) {
    const TreeNode* child = parent->child(r);
    if (child->name().find('\n') != std::string::npos) return Pass::NotSuited;
    if (child->nameChanged() && ++changedChildren > kFewChanged) return Pass::NotSuited;
  }
  std::string earlier;             // "\n" + each earlier name, as they end up
  std::vector<std::string> fresh;  // the earlier names that are new to the list
  for (int r = 0; r < parent->childCount(); ++r) {
    TreeNode* child = parent->child(r);
    if (r > 0 && !child->isSeparator()) {
      bool clash = child->nameChanged();
      for (std::size_t i = 0; i < fresh.size() && !clash; ++i)
        clash = fresh[i].find(child->name()) != std::string::npos;
      if (clash) {
        std::string name = FirstFreeIn(earlier, child->name());
        if (name != std::string_view(child->name())) {
          tree.setName(child, std::move(name));
          ++changed;
          if (fresh.size() > 2 * kFewChanged) return Pass::Abandoned;
        }
      }
    }
    if (child->nameChanged()) fresh.emplace_back(child->name());
    (earlier += '\n') += child->name();
  }
  return Pass::Done;
}

}  // namespace

int ResolveSiblingNames(ConnectionTree& tree, TreeNode* parent) {
  int changed = 0;
  // A list resolved before is checked again only where it changed since.
  for (TreeNode* n = parent; n; n = ConnectionTree::nextInSubtree(n, parent)) {
    if (n->childCount() >= 2 && (!n->childNamesResolved() || n->hasChangedChildren())) {
      int renamed = 0;
      const Pass pass = n->childNamesResolved() ? ResolveFewChanged(tree, n, renamed) : Pass::NotSuited;
      if (pass != Pass::Done) renamed += ResolveChildren(tree, n);
      changed += renamed;
    }
    ConnectionTree::markChildNamesResolved(n);
  }
  return changed;
}

int NameArrivals(ConnectionTree& tree, const std::vector<TreeNode*>& arrived) {
  if (arrived.empty() || !arrived.front()->parent()) return 0;
  TreeNode* parent = arrived.front()->parent();
  const std::unordered_set<const TreeNode*> arriving(arrived.begin(), arrived.end());
  // The names of the nodes that stayed, then of each arrival as it is named.
  // A long list is searched through its index only for many arrivals.
  constexpr std::size_t kFewArrivals = 32;
  SiblingNamer names(ChildNamesHoldLineFeeds(parent), arrived.size() > kFewArrivals);
  for (int r = 0; r < parent->childCount(); ++r)
    if (!arriving.count(parent->child(r))) names.add(parent->child(r)->name());
  int changed = 0;
  for (TreeNode* node : arrived)
    if (TakeFreeName(tree, names, node)) ++changed;
  // Each arrival is free against all the others now. Marked resolved, the
  // list is not checked again in tree order, which would hand an older node
  // a new name because an arrival before it contains its name ("Copy of
  // router" before "router").
  ConnectionTree::markChildNamesResolved(parent);
  for (TreeNode* node : arrived) changed += ResolveSiblingNames(tree, node);
  return changed;
}

bool TakeFreeName(ConnectionTree& tree, SiblingNamer& names, TreeNode* node) {
  std::optional<std::string> fresh = node->isSeparator() ? std::nullopt : names.freeNameFor(node->name());
  if (fresh) tree.setName(node, std::move(*fresh));
  names.add(node->name());
  return fresh.has_value();
}

NameCheck CheckConnectionName(std::string_view text, const TreeNode* node) {
  if (text.find('&') != std::string_view::npos)
    return {false, "Connection name cannot contain '&' character."};
  // Compared as it will be stored: " beta" is taken when a sibling is "beta".
  const std::string_view stored = TrimTextView(text);
  if (const TreeNode* parent = node->parent()) {
    for (int r = 0; r < parent->childCount(); ++r) {
      const TreeNode* sibling = parent->child(r);
      if (sibling != node && sibling->name() == stored)
        return {false, "Connection name has to be unique among its sibling connections."};
    }
  }
  return {};
}

}  // namespace varnok
