#include "model/tree_operations.h"

#include <algorithm>
#include <unordered_set>

#include "common/trim_text.h"
#include "model/naming.h"

namespace varnok {
namespace {

// A new connection's record below `parent`.
rVTNodeData NewConnection(const ConnectionTree& tree, const TreeNode* parent,
                          std::string_view defaultColors) {
  rVTNodeData d;
  d.Name = NewConnectionName(tree);
  if (parent->data().Level <= 0) {
    d.Colors = std::string(defaultColors);
    d.StartLogging = true;
  } else {
    d.Colors = parent->data().Colors;
    d.StartLogging = parent->data().StartLogging;
  }
  return d;
}

// How the names of placed nodes are made unique among their new siblings.
enum class Naming {
  InTreeOrder,  // a move: the later of two namesakes is renamed
  Arrivals,     // a paste or copy: only the placed nodes are renamed
};

// Moves or copies the outermost `nodes` to consecutive places from `row` of
// `parent` on, then resolves the sibling names; refused when the place lies
// inside a moved node's subtree.
std::vector<TreeNode*> PlaceNodes(ConnectionTree& tree, const std::vector<TreeNode*>& nodes, TreeNode* parent,
                                  int row, bool copy, Naming naming) {
  std::vector<TreeNode*> dropped = OutermostNodes(tree, nodes);
  if (dropped.empty()) return {};
  if (!copy) {
    for (const TreeNode* n : dropped)
      if (n == parent || n->isAncestorOf(parent)) return {};
  }
  std::vector<TreeNode*> placed;
  for (TreeNode* n : dropped) {
    TreeNode* now = n;
    if (copy)
      now = tree.insert(parent, row, ConnectionTree::clone(n, tree.memory()));
    else
      tree.move(n, parent, row);  // false only when it already stands there
    row = now->row() + 1;
    placed.push_back(now);
  }
  if (naming == Naming::Arrivals) {
    NameArrivals(tree, placed);
  } else {
    // All of them share the parent: one fix-up resolves every name below it.
    AfterMoveOrCopy(tree, placed.front());
  }
  return placed;
}

}  // namespace

std::vector<TreeNode*> OutermostNodes(const ConnectionTree& /*tree*/, const std::vector<TreeNode*>& nodes) {
  std::unordered_set<const TreeNode*> given;
  for (const TreeNode* n : nodes)
    if (n && n->parent()) given.insert(n);
  std::vector<TreeNode*> out;
  for (TreeNode* n : nodes) {
    if (!n || !n->parent()) continue;
    bool inside = false;
    for (const TreeNode* p = n->parent(); p && !inside; p = p->parent()) inside = given.count(p) > 0;
    if (!inside) out.push_back(n);
  }
  // Tree order by comparing places, not absolute indexes: an index costs a
  // sum over the siblings before the node, for each of thousands of siblings.
  std::sort(out.begin(), out.end(), ConnectionTree::comesBefore);
  out.erase(std::unique(out.begin(), out.end()), out.end());
  return out;
}

AddResult AddChild(ConnectionTree& tree, TreeNode* focused, std::string_view defaultColors) {
  TreeNode* added = tree.insert(
      focused, 0, ConnectionTree::newNode(NewConnection(tree, focused, defaultColors), tree.memory()));
  return {added, focused, focused};
}

AddResult AddSibling(ConnectionTree& tree, TreeNode* focused, std::string_view defaultColors) {
  TreeNode* parent = focused->parent();
  if (!parent) return {};
  TreeNode* added =
      tree.insert(parent, focused->row() + 1,
                  ConnectionTree::newNode(NewConnection(tree, parent, defaultColors), tree.memory()));
  return {added, focused, focused};
}

AddResult AddSeparatorLine(ConnectionTree& tree, TreeNode* focused, std::string_view defaultColors) {
  TreeNode* parent = focused->parent();
  if (!parent) return {};
  rVTNodeData d;
  d.Name = std::string(kSeparatorName);
  d.Colors = std::string(defaultColors);
  TreeNode* added =
      tree.insert(parent, focused->row() + 1, ConnectionTree::newNode(std::move(d), tree.memory()));
  return {added, added, nullptr};
}

AddResult Duplicate(ConnectionTree& tree, TreeNode* focused) {
  TreeNode* parent = focused->parent();
  if (!parent) return {};
  TreeNode* copy = tree.insert(parent, focused->row() + 1, ConnectionTree::clone(focused, tree.memory()));
  // The copy takes the new name; the original and its siblings keep theirs.
  NameArrivals(tree, {copy});
  if (focused->isSeparator()) {
    tree.setName(focused, std::string(kSeparatorName));
    tree.setName(copy, std::string(kSeparatorName));
  }
  return {copy, copy, parent};
}

AfterMoveResult AfterMoveOrCopy(ConnectionTree& tree, TreeNode* node) {
  TreeNode* parent = node ? node->parent() : nullptr;
  if (!parent) return {};
  return {parent, ResolveSiblingNames(tree, parent)};
}

MoveResult MoveUp(ConnectionTree& tree, TreeNode* node) {
  TreeNode* previous = node->previousSibling();
  if (!previous || !tree.move(node, node->parent(), previous->row())) return {};
  AfterMoveOrCopy(tree, node);
  return {true, node->previousSibling() != nullptr};
}

MoveResult MoveDown(ConnectionTree& tree, TreeNode* node) {
  TreeNode* next = node->nextSibling();
  if (!next || !tree.move(node, node->parent(), next->row() + 1)) return {};
  AfterMoveOrCopy(tree, node);
  return {true, node->nextSibling() != nullptr};
}

bool CanDrag(const TreeNode* node) { return node && node->parent(); }

bool CanDropOn(const TreeNode* target, const TreeNode* current) {
  return target && target != current && !target->isSeparator();
}

std::vector<TreeNode*> DropNodes(ConnectionTree& tree, const std::vector<TreeNode*>& nodes, TreeNode* target,
                                 DropMark mark, bool copy) {
  if (!target || mark == DropMark::Nowhere) return {};
  if (!target->parent() && mark != DropMark::On) return {};
  TreeNode* parent = target->parent();
  int row = 0;
  switch (mark) {
    case DropMark::Above:
      row = target->row();
      break;
    case DropMark::On:
      if (target->isSeparator()) {
        row = target->row() + 1;
      } else {
        parent = target;
        row = target->childCount();
      }
      break;
    case DropMark::Below:
    case DropMark::Nowhere:
      row = target->row() + 1;
      break;
  }
  return PlaceNodes(tree, nodes, parent, row, copy, copy ? Naming::Arrivals : Naming::InTreeOrder);
}

std::vector<TreeNode*> PasteNodes(ConnectionTree& tree, TreeNode* target,
                                  std::vector<std::unique_ptr<TreeNode>> nodes) {
  if (!target || nodes.empty()) return {};
  const auto [parent, row] = PastePlaceFor(target);
  std::vector<TreeNode*> pasted;
  pasted.reserve(nodes.size());
  for (auto& n : nodes) pasted.push_back(n.get());
  tree.insertRange(parent, row, std::move(nodes));
  NameArrivals(tree, pasted);
  return pasted;
}

PastePlace PastePlaceFor(TreeNode* target) {
  if (target->isSeparator() && target->parent()) return {target->parent(), target->row() + 1};
  return {target, 0};
}

std::vector<TreeNode*> MoveNodesInto(ConnectionTree& tree, const std::vector<TreeNode*>& nodes,
                                     TreeNode* target) {
  if (!target) return {};
  // A paste of cut nodes: they arrive like pasted copies.
  if (target->isSeparator() && target->parent())
    return PlaceNodes(tree, nodes, target->parent(), target->row() + 1, false, Naming::Arrivals);
  return PlaceNodes(tree, nodes, target, 0, false, Naming::Arrivals);
}

DeleteQuestion ConfirmDelete(const ConnectionTree& /*tree*/, const std::vector<TreeNode*>& selected) {
  DeleteQuestion q;
  if (selected.empty()) return q;
  int count = 0;
  const TreeNode* last = nullptr;
  for (const TreeNode* n : selected) {
    if (!n || !n->parent() || n->isSeparator()) continue;
    ++count;
    if (!last || ConnectionTree::comesBefore(last, n)) last = n;
  }
  if (count >= 2) {
    q.kind = DeleteQuestion::Kind::Confirmation;
    q.text = "Deleting " + std::to_string(count) +
             " connections. All descendant connections will be also deleted.\rDo you want to continue?";
    q.defaultNo = true;
    return q;
  }
  if (count == 0) {
    q.deleteWithoutAsking = true;
    return q;
  }
  std::string text = "Connection '" + std::string(last->name()) + "' with";
  if (last->hasChildren()) {
    text += " all descendants \rand associated data";
  } else if (!last->data().Macro.empty() || !last->data().PopupText.empty()) {
    text += " associated data";
  } else {
    q.deleteWithoutAsking = true;
    return q;
  }
  q.kind = DeleteQuestion::Kind::Warning;
  q.text = text + " will be deleted.\rDo you want to continue?";
  q.defaultNo = DeleteDefaultsToNo(selected);
  return q;
}

bool DeleteDefaultsToNo(const std::vector<TreeNode*>& selected) {
  const TreeNode* only = nullptr;
  for (const TreeNode* n : selected) {
    if (!n || !n->parent()) continue;  // the top node is never deleted
    if (only && only != n) return true;
    only = n;
  }
  return only && (only->hasChildren() || !only->data().Macro.empty());
}

std::string DiscardEditsQuestion(const TreeNode* current) {
  return "Do you want to discard all data assosiated with '" + std::string(current->name()) + "' ?";
}

int DeleteNodes(ConnectionTree& tree, const std::vector<TreeNode*>& selected) {
  const std::vector<TreeNode*> nodes = OutermostNodes(tree, selected);
  // Each run of consecutive siblings goes in one removal (one notification,
  // one undo record), the last run first: the rows of the runs before it
  // stay as they are.
  int removed = 0;
  for (std::size_t end = nodes.size(); end > 0;) {
    std::size_t begin = end - 1;
    while (begin > 0 && nodes[begin - 1]->parent() == nodes[begin]->parent() &&
           nodes[begin - 1]->row() + 1 == nodes[begin]->row())
      --begin;
    for (std::size_t i = begin; i < end; ++i) removed += nodes[i]->subtreeSize();
    tree.removeRange(nodes[begin]->parent(), nodes[begin]->row(), static_cast<int>(end - begin));
    end = begin;
  }
  return removed;
}

RenamePlan PlanRename(const TreeNode* node, std::string_view text) {
  if (!node->parent()) return {RenameStep::Refuse, ""};
  if (TrimTextView(text).empty()) return {RenameStep::Refuse, "Connection name cannot be empty."};
  const std::string name(node->name());
  // The editor closed on the name it opened with (blanks around it are not
  // stored): renaming a node to its own name changes nothing.
  if (text == name || (text.front() != '-' && TrimTextView(text) == name)) return {RenameStep::Unchanged, ""};
  if (text.front() == '-') {
    if (node->hasChildren())
      return {RenameStep::Refuse,
              "Connection '" + name +
                  "' cannot be replaced with separator line\rbecause it has at least one child."};
    return {RenameStep::AskConvert,
            "Connection '" + name +
                "' will be converted into separator line.\nAll associated data will be "
                "deleted.\n\rDo you want to continue?"};
  }
  NameCheck check = CheckConnectionName(text, node);
  if (!check.ok) return {RenameStep::Reject, check.message};
  return {RenameStep::Rename, ""};
}

void ConvertToSeparator(ConnectionTree& tree, TreeNode* node) {
  tree.edit(node, [](rVTNodeData& d) {
    d.Name = std::string(kSeparatorName);
    d.NodeType = kNodeTypeSeparator;
    d.Macro.clear();
    d.PopupText.clear();
    d.Schedule.clear();
    d.StartLogging = false;
  });
}

void ApplyName(ConnectionTree& tree, TreeNode* node, std::string_view text, std::string_view defaultColors) {
  const bool wasSeparator = node->isSeparator();
  const TreeNode* parent = node->parent();
  tree.edit(node, [&](rVTNodeData& d) {
    if (wasSeparator) {
      d.Macro.clear();
      d.PopupText.clear();
      d.StartLogging = true;
      if (!parent || parent->data().Level < 1)
        d.Colors = defaultColors;
      else
        d.Colors = parent->data().Colors;
    }
    d.Name = TrimText(text);
  });
}

std::vector<TreeNode*> NodesWithChildren(const ConnectionTree& tree) {
  std::vector<TreeNode*> out;
  for (TreeNode* n = tree.top(); n; n = ConnectionTree::next(n))
    if (n->hasChildren()) out.push_back(n);
  return out;
}

}  // namespace varnok
