#include "files/import_export.h"

#include <algorithm>
#include <memory>
#include <unordered_set>

#include "files/plf_file.h"
#include "model/naming.h"

namespace varnok {
namespace {

// A set of nodes held as a sorted array: no allocation per node, a fraction
// of a hash set's memory, and lookups in tree order touch neighbouring
// entries (a loaded tree's nodes lie in memory in tree order).
class SortedNodes {
 public:
  explicit SortedNodes(const std::vector<TreeNode*>& nodes) : nodes_(nodes.begin(), nodes.end()) {
    std::sort(nodes_.begin(), nodes_.end());
  }
  bool contains(const TreeNode* node) const { return std::binary_search(nodes_.begin(), nodes_.end(), node); }

 private:
  std::vector<const TreeNode*> nodes_;
};

std::string UpperExtension(const std::string& path) {
  const std::size_t slash = path.find_last_of("/\\");
  const std::size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  std::string ext = path.substr(dot);
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; });
  return ext;
}

}  // namespace

ConnectionFileFormat FileFormatOf(const std::string& path) {
  return UpperExtension(path) == ".PLF" ? ConnectionFileFormat::Plf : ConnectionFileFormat::Vnk;
}

std::optional<ConnectionFileFormat> ImportFormatOf(const std::string& path) {
  const std::string ext = UpperExtension(path);
  if (ext == ".VNK") return ConnectionFileFormat::Vnk;
  if (ext == ".PLF") return ConnectionFileFormat::Plf;
  return std::nullopt;
}

std::string RenamedMessage(int count) {
  if (count <= 0) return "";
  const std::string tail = " renamed to avoid duplicate names among siblings.";
  if (count == 1) return "1 imported item was" + tail;
  return std::to_string(count) + " imported items were" + tail;
}

ImportResult ImportConnections(ConnectionTree& tree, const std::string& path, const std::string& programDir,
                               std::int32_t selectedNodeIndex, const Clock& clock) {
  ImportResult result;
  const std::optional<ConnectionFileFormat> format = ImportFormatOf(path);
  if (format == ConnectionFileFormat::Vnk) {
    result.load = LoadConfiguration(tree, path, true, selectedNodeIndex);
  } else if (format == ConnectionFileFormat::Plf) {
    result.load = LoadPlfFile(tree, path, programDir, selectedNodeIndex, clock);
  } else {
    result.supported = false;
    result.load.message = std::string(kUnsupportedImportFormat);
    result.warnings.push_back(result.load.message);
    return result;
  }
  if (!result.load.ok()) result.warnings.push_back(result.load.message);
  result.renamed = ResolveSiblingNames(tree, tree.top());
  if (std::string m = RenamedMessage(result.renamed); !m.empty()) result.warnings.push_back(std::move(m));
  result.documentModified = true;
  return result;
}

ImportResult AppendImported(ConnectionTree& tree, std::vector<std::unique_ptr<TreeNode>> roots) {
  ImportResult result;
  for (const auto& root : roots) result.load.nodesAdded += root->subtreeSize();
  if (!roots.empty()) tree.insertRange(tree.top(), tree.top()->childCount(), std::move(roots));
  result.renamed = ResolveSiblingNames(tree, tree.top());
  if (std::string m = RenamedMessage(result.renamed); !m.empty()) result.warnings.push_back(std::move(m));
  result.documentModified = result.load.nodesAdded > 0;
  return result;
}

WriteResult ExportConnections(const ConnectionTree& tree, const std::string& path, const NodeFilter& selected,
                              const Clock& clock) {
  if (FileFormatOf(path) == ConnectionFileFormat::Plf) return SavePlfFile(tree, path, selected, clock);
  return SaveConfiguration(tree, path, selected);
}

LoadResult LoadConnectionsFile(ConnectionTree& tree, const std::string& path, const std::string& programDir,
                               const Clock& clock) {
  if (FileFormatOf(path) == ConnectionFileFormat::Plf) return LoadPlfFile(tree, path, programDir, -1, clock);
  return LoadConfiguration(tree, path, false);
}

std::vector<TreeNode*> MissingAncestors(const ConnectionTree& tree, const std::vector<TreeNode*>& selected) {
  const TreeNode* top = tree.top();
  const SortedNodes chosen(selected);
  // Unchosen ancestors: a walk up ends at a chosen one (its own walk covers
  // what lies above) or at one looked at before, so each chain is walked once.
  std::unordered_set<const TreeNode*> missing;
  for (const TreeNode* node : selected) {
    if (node == top) continue;
    for (const TreeNode* a = node->parent(); a && a != top && !chosen.contains(a) && missing.insert(a).second;
         a = a->parent()) {
    }
  }
  std::vector<TreeNode*> ordered;
  if (missing.empty()) return ordered;
  ordered.reserve(missing.size());
  for (TreeNode* n = ConnectionTree::next(top); n && ordered.size() < missing.size();
       n = ConnectionTree::next(n)) {
    if (missing.count(n)) ordered.push_back(n);
  }
  return ordered;
}

ExportSelection CheckExportSelection(const ConnectionTree& tree, std::vector<TreeNode*> selected,
                                     const std::function<bool(std::string_view question)>& confirm) {
  ExportSelection result;
  std::erase(selected, tree.top());
  std::vector<TreeNode*> missing = MissingAncestors(tree, selected);
  result.nodes = std::move(selected);
  if (!missing.empty()) {
    if (!confirm(kExportSelectionQuestion)) return result;
    result.nodes.insert(result.nodes.end(), missing.begin(), missing.end());
    result.added = std::move(missing);
  }
  result.proceed = true;
  return result;
}

NodeFilter SelectionFilter(const std::vector<TreeNode*>& nodes) {
  auto set = std::make_shared<const SortedNodes>(nodes);
  return [set](const TreeNode* n) { return set->contains(n); };
}

}  // namespace varnok
