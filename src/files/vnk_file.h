#pragma once
// The .VNK configuration file: the tag "VNK20", a record count, then one
// record per node below the top node in pre-order (the top node is never
// stored). All integers are 32-bit little-endian; strings are a 32-bit byte
// count and the bytes. A record: Level, NodeType, StartLogging (1 byte),
// Name, Macro, PopupText, Schedule, LastUpdated, Colors. A record's parent is
// the nearest preceding record whose Level is one less.
//
// Loading never shows anything: the result carries the warning text for the
// caller to show, and what the caller does next (see LoadResult). Saving goes
// through SafeWriteFile: the old file survives any failure.
//
//   ConnectionTree tree;                  // Open: start from a fresh tree
//   LoadResult r = LoadConfiguration(tree, path, /*import=*/false, storedIndex);
//   if (!r.ok()) prompts.Warning(r.message);
//   if (r.nameDocument) currentFile = path;
//   if (r.focusNode) { expand its ancestors; focus and select it; }
//   else if (r.ok()) storedIndex = 0;
//
//   WriteResult w = SaveConfiguration(tree, path);              // whole tree
//   WriteResult w = SaveConfiguration(tree, path, isSelected);  // export
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "model/connection_tree.h"
#include "platform/safe_write.h"

namespace varnok {

inline constexpr std::string_view kVnkTag = "VNK20";
inline constexpr const char* kVnkCannotOpen = "Cannot open the file.";
inline constexpr const char* kVnkInvalidFormat = "Cannot open the file. Invalid file format.";
inline constexpr const char* kVnkInconsistent = "Error reading file. The file contains inconsistent data.";

enum class LoadStatus { Ok, FileMissing, CannotOpen, InvalidFormat, InconsistentData };

struct LoadResult {
  LoadStatus status = LoadStatus::Ok;
  // The warning to show (OK button); empty on success.
  std::string message;
  // For CannotOpen: the path and the system's reason, for the detailed display.
  std::string reason;
  // The loaded node whose absolute index equals the stored "SelectedNodeIndex";
  // the caller expands its ancestors (not the top node), focuses and selects it.
  TreeNode* focusNode = nullptr;
  // Nodes added below the top node (also after a failure part-way).
  int nodesAdded = 0;
  // True only after a successful open (not an import): the document takes the
  // path as its file. A load that failed part-way leaves the document
  // unnamed, so that no later save overwrites the damaged file's unread records.
  bool nameDocument = false;
  // The file as it was opened for reading (LoadConfiguration only): a later
  // save can tell whether another program changed it since.
  FileIdentity file;

  bool ok() const { return status == LoadStatus::Ok; }
};

// Appends the file's connections as last children of the top node. For an
// open (import == false) the caller empties the tree first (tree.clear()).
// selectedNodeIndex is the stored absolute index to focus (-1: none).
// The nodes arrive in one insert notification (children of the top node).
LoadResult LoadConfiguration(ConnectionTree& tree, const std::string& path, bool import,
                             std::int32_t selectedNodeIndex = -1);
// The same, asking `keepReading` with the part of the file read (0 to 1)
// between pieces of about a megabyte; false stops the reading, and what was
// read so far is put in (the result stays ok).
LoadResult LoadConfiguration(ConnectionTree& tree, const std::string& path, bool import,
                             std::int32_t selectedNodeIndex, const std::function<bool(double)>& keepReading);
// The same, from the file's bytes.
LoadResult ReadConfiguration(ConnectionTree& tree, std::string_view bytes, bool import,
                             std::int32_t selectedNodeIndex = -1);

// Which nodes an export writes; an empty function means every node.
using NodeFilter = std::function<bool(const TreeNode*)>;

// The file's bytes: every node below the top node, or only those `selected`
// accepts (the top node is never written). Level is written as the depth.
std::string WriteConfiguration(const ConnectionTree& tree, const NodeFilter& selected = {});
// The same bytes handed to `sink` in pieces of about `chunk` bytes (the last
// one may be empty); false when the sink returned false.
bool ProduceConfiguration(const ConnectionTree& tree, const NodeFilter& selected, std::size_t chunk,
                          const std::function<bool(std::string_view)>& sink);
// Writes the file safely, in pieces; on failure the old file is unchanged and the result
// names the path and the system's reason. `options` as for SafeWriteFile.
WriteResult SaveConfiguration(const ConnectionTree& tree, const std::string& path,
                              const NodeFilter& selected = {}, const WriteOptions& options = {});

// One record in the file's layout, also the per-node payload wherever nodes
// are serialised (duplicate, drag and drop, clipboard).
void AppendRecord(std::string& out, const rVTNodeData& data, std::int32_t level);
// Reads one record from the front of `in` and advances it. False (and `in`
// unchanged) when the bytes end inside the record or a length is negative or
// larger than the bytes left; nothing is allocated before a length is checked.
bool ReadRecord(std::string_view& in, rVTNodeData& data);

// A record as it stands in the file: its texts are views into the bytes read.
using RecordView = rVTNodeView;
// ReadRecord without copying the texts; the same checks.
bool ReadRecordView(std::string_view& in, RecordView& record);
void AppendRecord(std::string& out, const rVTNodeView& record, std::int32_t level);
// The tag and the record count that begin a file.
void AppendHeader(std::string& out, std::int32_t records);
// Reads the tag and the record count from the start of `in`. NeedMore: `in`
// is shorter than the header and more bytes follow (atEnd false).
enum class HeaderRead { Ok, NeedMore, InvalidFormat, Inconsistent };
HeaderRead ReadHeader(std::string_view& in, bool atEnd, std::int32_t& records);

}  // namespace varnok
