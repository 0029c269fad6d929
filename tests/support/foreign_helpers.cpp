#include "foreign_helpers.h"

#include "common/stored_text.h"
#include "files/import_export.h"
#include "tree_helpers.h"

namespace varnok::test {

std::string AppendAndOutline(ConnectionTree& tree, ForeignImport& found) {
  AppendImported(tree, std::move(found.roots));
  return Outline(tree);
}

const TreeNode* NodeAtPath(const ConnectionTree& tree, const std::string& path) {
  const TreeNode* node = tree.top();
  std::size_t start = 0;
  while (node && start <= path.size()) {
    const std::size_t slash = std::min(path.find('/', start), path.size());
    const std::string name = path.substr(start, slash - start);
    start = slash + 1;
    const TreeNode* found = nullptr;
    for (int r = 0; r < node->childCount() && !found; ++r)
      if (std::string_view(node->child(r)->name()) == name) found = node->child(r);
    node = found;
  }
  return node;
}

std::string MacroOf(const TreeNode* node) { return node ? DecodeText(node->data().Macro) : "<no node>"; }
std::string PopupOf(const TreeNode* node) { return node ? DecodeText(node->data().PopupText) : "<no node>"; }

std::string NotesText(const ForeignImport& found) {
  std::string text;
  for (const ImportNote& n : found.notes) text += NoteText(n) + "\n";
  return text;
}

}  // namespace varnok::test
