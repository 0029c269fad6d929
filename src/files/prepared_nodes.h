#pragma once
// An import or a paste made ready away from the document's tree, on a worker
// thread: the connections are read (from a file, or from the clipboard's
// bytes) into a tree of their own and named there as they will be named
// when they arrive. Putting them in is then one quick step on the tree's own
// thread, and a stop asked for meanwhile leaves the document untouched.
//
//   ChildNames siblings = CopyChildNames(tree.top());                  // the tree's thread
//   PreparedNodes p = PrepareImport(path, programDir, clock, siblings, control);  // worker
//   if (!control.stopRequested()) { ImportResult r = PutImported(tree, std::move(p)); }
//
// The result equals ImportConnections (and PasteNodes) done in place.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/time_stamp.h"
#include "common/work_control.h"
#include "files/import_export.h"
#include "model/arrival_names.h"
#include "model/connection_tree.h"

namespace varnok {

struct PreparedNodes {
  std::vector<std::unique_ptr<TreeNode>> roots;  // the arrivals, in their order
  int renamed = 0;                               // names changed while preparing
  // The arrivals were named against the siblings copied (of which there
  // were siblingCount); otherwise only the lists below them were resolved.
  bool named = false;
  std::size_t siblingCount = 0;
  bool stopped = false;  // a stop was asked for: there is nothing to put in
  ImportResult import;   // an import's reading (supported, load)
  bool damaged = false;  // a paste's bytes are not a payload of nodes
};

// Reads the file for "Import connection ...": its format by the extension,
// as ImportConnections does, its nodes named to join `siblings` (the top
// node's children). Progress and the stop go through `control`.
PreparedNodes PrepareImport(const std::string& path, const std::string& programDir, const Clock& clock,
                            const ChildNames& siblings, WorkControl& control);
// Appends what PrepareImport read below the top node in one insert and ends
// the naming as ImportConnections does; the same result.
ImportResult PutImported(ConnectionTree& tree, PreparedNodes prepared);

// Reads the clipboard's bytes (DeserializeNodes) and names the nodes to join
// `siblings`, the children of PastePlaceFor(target).parent.
PreparedNodes PreparePaste(std::string_view bytes, const ChildNames& siblings, WorkControl& control);
// Puts what PreparePaste made where PasteNodes puts nodes pasted onto
// `target`, named as PasteNodes names them; the pasted nodes in their order.
std::vector<TreeNode*> PutPasted(ConnectionTree& tree, TreeNode* target, PreparedNodes prepared);

}  // namespace varnok
