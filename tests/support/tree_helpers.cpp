#include "tree_helpers.h"

#include "common/stored_text.h"

namespace varnok::test {

TreeNode* Add(ConnectionTree& tree, TreeNode* parent, const std::string& name) {
  rVTNodeData d;
  d.Name = name;
  return tree.insert(parent, parent->childCount(), ConnectionTree::newNode(std::move(d)));
}

void AppendChain(ConnectionTree& tree, int depth, const std::string& deepestSchedule) {
  SubtreeBuilder builder(tree.memory());
  TreeNode* last = builder.root();
  for (int level = 1; level <= depth; ++level) {
    rVTNodeData d;
    d.Name = "n" + std::to_string(level);
    d.Macro = EncodeText("sendln " + std::to_string(level));
    if (level == depth) d.Schedule = deepestSchedule;
    last = builder.append(last, d);
  }
  tree.insertRange(tree.top(), tree.top()->childCount(), builder.finish());
}

std::string Outline(const ConnectionTree& tree) {
  std::string out;
  const TreeNode* top = tree.top();
  for (const TreeNode* n = ConnectionTree::next(top); n; n = ConnectionTree::next(n)) {
    out.append(static_cast<std::size_t>(2 * (n->data().Level - 1)), ' ');
    (out += n->name()) += "\n";
  }
  return out;
}

namespace {
std::string Check(const TreeNode* n, const TreeNode* parent, int row, int level, int& size) {
  if (n->parent() != parent) return "wrong parent at " + std::string(n->name());
  if (n->row() != row) return "wrong row at " + std::string(n->name());
  if (n->data().Level != level) return "wrong Level at " + std::string(n->name());
  int total = 1;
  for (int r = 0; r < n->childCount(); ++r) {
    int s = 0;
    std::string e = Check(n->child(r), n, r, level + 1, s);
    if (!e.empty()) return e;
    total += s;
  }
  if (n->subtreeSize() != total) return "wrong subtree size at " + std::string(n->name());
  size = total;
  return "";
}
}  // namespace

std::string CheckInvariants(const ConnectionTree& tree) {
  int size = 0;
  std::string e = Check(tree.top(), nullptr, 0, 0, size);
  if (!e.empty()) return e;
  if (tree.count() != size) return "wrong count";
  return "";
}

rVTNodeData Full(const std::string& name) {
  return {.Name = std::pmr::string(name),
          .Macro = "ssh+%24CONNECTION%24%0D%0A",
          .PopupText = "note",
          .Schedule = "=0 8 * * 1,2,3,4,5",
          .LastUpdated = "Tuesday, 08-Dec-2026 09:05:07",
          .Colors = "0:0:0:192:192:192:255:255:255:0:0:128:255:0:0:0:0:0",
          .NodeType = StoredNodeType::Macro,
          .Level = 0,
          .StartLogging = true};
}

}  // namespace varnok::test
