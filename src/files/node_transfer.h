#pragma once
// The bytes that carry nodes from one place of a tree to another: the tree's
// clipboard format and drag payload. The tag "VNKNODES1", then, for each given
// node with its whole subtree in pre-order, records in the .VNK layout
// (AppendRecord) whose levels count from 1 at each given node.
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/arrival_names.h"
#include "model/connection_tree.h"

namespace varnok {

// `roots` in their order; a root inside another root's subtree is written
// twice, so pass the outermost nodes (OutermostNodes).
std::string SerializeNodes(const std::vector<TreeNode*>& roots);
// The detached subtrees again; nullopt when the bytes are not such a payload
// or end inside a record. Records with an empty name are skipped and
// separators get the standard name, as when a file is read.
// The nodes are made in `memory` (a tree's memory(); nullptr: the general
// heap); `keepGoing`, asked now and then with the part read, may stop the
// reading: nullopt then too.
std::optional<std::vector<std::unique_ptr<TreeNode>>> DeserializeNodes(std::string_view bytes,
                                                                       NodeMemory* memory = nullptr,
                                                                       const KeepGoing& keepGoing = {});

}  // namespace varnok
