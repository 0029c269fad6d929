#pragma once
// Shared by the vnk subcommands that move connections between files: reading
// a whole file and writing one, each in the format its extension names
// (".plf" in any letter case: the .PLF text format; anything else: .VNK).
#include <string>

#include "files/vnk_file.h"
#include "model/connection_tree.h"

namespace varnok::vnk {

// Reads `path` into a fresh `tree`; throws Failure with the reader's message.
void LoadAnyFormat(ConnectionTree& tree, const std::string& path);

// Writes the nodes `selected` accepts (all when empty) to `path`, safely;
// throws Failure with the path and the reason. "-" writes the .VNK bytes to
// standard output.
void SaveAnyFormat(const ConnectionTree& tree, const std::string& path, const NodeFilter& selected = {});

// The NODE form of a node's place: its names from a child of the top node,
// joined by "/" ("/" inside a name written "\/").
std::string NodePath(const TreeNode* node);

}  // namespace varnok::vnk
