#include "vnk_files.h"

#include "files/import_export.h"
#include "vnk_command.h"
#include "vnk_config.h"

namespace varnok::vnk {

void LoadAnyFormat(ConnectionTree& tree, const std::string& path) {
  LoadResult r = LoadConnectionsFile(tree, path, ProgramDirectory());
  if (r.ok()) return;
  std::string text = r.message;
  if (!r.reason.empty()) text += " (" + r.reason + ")";
  throw Failure(ForTerminal(text));
}

void SaveAnyFormat(const ConnectionTree& tree, const std::string& path, const NodeFilter& selected) {
  WriteResult w = ExportConnections(tree, path, selected);
  if (!w) throw Failure(ForTerminal(w.error));
}

std::string NodePath(const TreeNode* node) {
  std::string path;
  for (const TreeNode* n = node; n && n->parent(); n = n->parent()) {
    std::string name;
    for (char c : n->name()) name += (c == '/') ? std::string("\\/") : std::string(1, c);
    path = path.empty() ? name : name + "/" + path;
  }
  return path;
}

}  // namespace varnok::vnk
