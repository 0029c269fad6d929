#pragma once
// Import and export of connections: the common import of a .VNK or .PLF file
// into the current tree (menu "Import connection ..." and the file handed
// over by a second start), the choice of format on export, and the rule that
// an export carries every exported node's chain of parents.
//
// Nothing here shows or asks anything; the results carry the texts.
//
//   ImportResult r = ImportConnections(tree, path, programDir, storedIndex);
//   for (const std::string& w : r.warnings) prompts.Warning(w);   // in order
//   if (r.documentModified) { mark the document modified; refresh commands; }
//   (the pages keep their "Modified" mark: unapplied edits stay offered)
//
//   ExportSelection s = CheckExportSelection(tree, selectedNodes, askOkCancel);
//   if (s.proceed) { select s.added; ask for a path; ExportConnections(tree, path, SelectionFilter(s.nodes));
//   }
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/time_stamp.h"
#include "files/vnk_file.h"
#include "model/connection_tree.h"
#include "platform/safe_write.h"

namespace varnok {

inline constexpr std::string_view kUnsupportedImportFormat =
    "Cannot import the file. Unsupported file format.";
inline constexpr std::string_view kExportSelectionQuestion =
    "Connection can be exported only together with all parent connections it has.\r"
    "Press Ok to automatically expand your selection.";

enum class ConnectionFileFormat { Vnk, Plf };

// The format a file is written in: .PLF for the extension ".PLF" in any
// letter case, .VNK for every other name.
ConnectionFileFormat FileFormatOf(const std::string& path);
// The format an import reads by the extension (".VNK" or ".PLF" in any
// letter case); nullopt for any other: such a file is not imported.
std::optional<ConnectionFileFormat> ImportFormatOf(const std::string& path);

// The message after the sibling-name pass of an import: "" for 0,
// "1 imported item was renamed to avoid duplicate names among siblings.",
// n + " imported items were renamed to avoid duplicate names among siblings.".
std::string RenamedMessage(int count);

struct ImportResult {
  // False for an extension other than .VNK and .PLF: nothing was done.
  bool supported = true;
  // The reader's result: status, message, reason, the node to focus.
  LoadResult load;
  // Names changed by the sibling-name pass over the top node.
  int renamed = 0;
  // The warnings to show, in order: the reader's, then RenamedMessage.
  std::vector<std::string> warnings;
  // Mark the document modified and schedule the command refresh (whatever
  // the reader reported, once the format was known).
  bool documentModified = false;
};

// Reads the file by its upper-cased extension (".VNK": LoadConfiguration as
// an import, ".PLF": LoadPlfFile) below the top node, then gives imported
// nodes that collide with siblings "Copy of " names (ResolveSiblingNames on
// the top node). The document's file name never changes.
ImportResult ImportConnections(ConnectionTree& tree, const std::string& path, const std::string& programDir,
                               std::int32_t selectedNodeIndex = -1, const Clock& clock = SystemClock());

// Appends detached subtrees (connections read from another tool) as last
// children of the top node in one insert, then the sibling-name pass as
// ImportConnections does; `load.nodesAdded` counts the nodes added.
ImportResult AppendImported(ConnectionTree& tree, std::vector<std::unique_ptr<TreeNode>> roots);

// Writes the nodes `selected` accepts (every node below the top node when it
// is empty) in the format FileFormatOf(path) gives, safely.
WriteResult ExportConnections(const ConnectionTree& tree, const std::string& path,
                              const NodeFilter& selected = {}, const Clock& clock = SystemClock());

// Reads a whole file as a document is opened: .PLF by FileFormatOf, else
// .VNK. For tools that convert between the formats.
LoadResult LoadConnectionsFile(ConnectionTree& tree, const std::string& path, const std::string& programDir,
                               const Clock& clock = SystemClock());

// The ancestors of `selected` nodes that lie below the top node and are not
// selected themselves, each once, in tree order.
std::vector<TreeNode*> MissingAncestors(const ConnectionTree& tree, const std::vector<TreeNode*>& selected);

struct ExportSelection {
  bool proceed = false;          // false: the caller stops (nothing exported)
  std::vector<TreeNode*> nodes;  // the selection without the top node, plus `added`
  std::vector<TreeNode*> added;  // missing ancestors now selected, in tree order
};

// Makes a selection exportable: the top node is dropped; when ancestors are
// missing, `confirm` is asked kExportSelectionQuestion once (OK/Cancel):
// Cancel gives proceed false and no additions, OK adds them.
ExportSelection CheckExportSelection(const ConnectionTree& tree, std::vector<TreeNode*> selected,
                                     const std::function<bool(std::string_view question)>& confirm);

// A filter accepting exactly `nodes`.
NodeFilter SelectionFilter(const std::vector<TreeNode*>& nodes);

}  // namespace varnok
